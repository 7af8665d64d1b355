#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/RuntimeFolder.h"

class CCommandChannel;
class CReactor;
class IDesktop;
class INotificationArea;
class ITrayOwner;
class ProfileStore;

// What both programs' application objects share: the switches, handing them to a running
// instance, initialising the socket layer, the channel on which the running instance takes
// commands from a second start, the signals that end it, and the loop. Each program's
// application derives from it, owns its main window and runs its own start-up.
class CTrayApplication {
public:
    // A switch and the command a second start posts for it.
    struct Forward {
        const char* switchText;
        int command;
    };

    virtual ~CTrayApplication();

    CTrayApplication(const CTrayApplication&) = delete;
    CTrayApplication& operator=(const CTrayApplication&) = delete;

    // Runs the loop until the main window closes.
    void Run();
    // The process's exit status.
    virtual int ExitInstance();

    // The commands a second start posts for the switches present, in the order of `forwards`.
    static std::vector<int> CommandsFor(const CCommandLine& commandLine,
                                        std::span<const Forward> forwards);

protected:
    // None of the references is owned; all must outlive the application object.
    // `programName` starts the lines written to standard error. Without a runtime folder
    // there is no running instance to find and no channel to take commands on.
    CTrayApplication(const char* programName, IDesktop& desktop, const ProfileStore& profile,
                     CCommandLine commandLine, RuntimePlace runtime);

    // Posts the commands of the switches present to the running instance whose window is
    // named `windowName`; false when there is none. An instance that does not take them in
    // time is reported on standard error and counts as found.
    bool ForwardToRunningInstance(const char* windowName, std::span<const Forward> forwards);
    // Creates the reactor; on failure shows the socket failure message with `programTitle`
    // as caption and sets the exit status.
    bool InitSocketLayer(const char* programTitle);
    INotificationArea& CreateNotificationArea(const char* program);
    // From now on `window` receives the commands of a second start (on the channel named
    // `windowName`; a channel that cannot listen is reported on standard error) and the Exit
    // command when SIGTERM or SIGINT arrives.
    void AcceptCommands(ITrayOwner& window, const char* windowName);
    // From now on SIGUSR1 writes `statusLine()` as one line on standard error, from the loop;
    // the program goes on running.
    void WriteStatusOnSignal(std::function<std::string()> statusLine);
    // Queues a command for the main window; it runs from the loop, never inside a socket
    // handler, and not at all once the window is closing.
    void PostCommand(int id);
    // The main window's Exit: ends the loop.
    void CloseWindow();
    void Fail() { m_exitStatus = 1; }

    const char* const m_programName;
    IDesktop& m_desktop;
    const ProfileStore& m_profile;
    const CCommandLine m_commandLine;
    const RuntimePlace m_runtime;

private:
    std::unique_ptr<CReactor> m_reactor;
    std::unique_ptr<INotificationArea> m_notificationArea;
    std::unique_ptr<CCommandChannel> m_channel;
    ITrayOwner* m_window = nullptr;
    bool m_closing = false;
    int m_exitStatus = 0;
};
