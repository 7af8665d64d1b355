#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/RuntimeFolder.h"

class CCommandChannel;
class CInstanceLock;
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

    // Takes the single-instance lock `lockName` and answers whether this process is the
    // first start. One that finds the lock held is a second start: it hands the commands of
    // the switches present to the instance on the channel named `windowName`, waiting in
    // short steps for up to two seconds while the holder is still starting. A holder that
    // lets the lock go without taking commands was a start that ended at once: this process
    // then takes the lock and is the first. Commands that do not reach an instance are
    // reported on standard error, and the exit status is 1.
    bool IsFirstStart(const char* lockName, const char* windowName,
                      std::span<const Forward> forwards);
    // For a first start with /q, which ends at once: when another start of this program is
    // on its way to becoming the instance (`prog & prog /q`, and this one came to the lock
    // first), it lets that one have the lock and hands it the commands, as a second start.
    void LeaveQuitToStartUnderWay(const char* windowName, std::span<const Forward> forwards);
    // Creates the reactor; on failure shows the socket failure message with `programTitle`
    // as caption and sets the exit status.
    bool InitSocketLayer(const char* programTitle);
    INotificationArea& CreateNotificationArea(const char* program);
    // Listens on the channel named `windowName`, right after IsFirstStart: a second start
    // finds the instance from then on, and its commands wait for AcceptCommands. A channel that
    // cannot listen is reported on standard error.
    void TakeCommandChannel(const char* windowName);
    // From now on `window` receives the commands of a second start and the Exit command
    // when SIGTERM or SIGINT arrives.
    void AcceptCommands(ITrayOwner& window);
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
    // Posts to the instance on the channel `windowName`, trying again in short steps while
    // nobody listens there and `keepTrying` holds, for up to two seconds.
    void PostWhile(const char* windowName, const std::vector<int>& commands,
                   const std::function<bool()>& keepTrying);

    std::unique_ptr<CReactor> m_reactor;
    std::unique_ptr<INotificationArea> m_notificationArea;
    std::unique_ptr<CInstanceLock> m_lock;  // held until the program's objects are gone
    std::unique_ptr<CCommandChannel> m_channel;
    ITrayOwner* m_window = nullptr;
    bool m_closing = false;
    int m_exitStatus = 0;
};
