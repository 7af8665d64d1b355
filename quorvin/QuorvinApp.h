#pragma once

#include <memory>
#include <vector>

#include "httpd/ImageServer.h"
#include "shell/CommandLine.h"
#include "shell/RuntimeFolder.h"

class CCommandChannel;
class CReactor;
class IDesktop;
class INotificationArea;
class ProfileStore;

namespace quorvin {

class CMainFrame;

// Quorvin's application object: reads the switches, hands them to a running instance or
// becomes the instance, applies the start-up switches to the profile, creates the main
// window (which starts the image server), and runs the loop until the Exit command.
class CQuorvinApp {
public:
    static constexpr const char* kProgramTitle = "QUORVIN";
    static constexpr const char* kWindowName = "QUORVIN";

    // None of the references is owned; all must outlive the application object.
    // `httpPort` stays at its default in the program.
    CQuorvinApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                RuntimePlace runtime, unsigned httpPort = CImageServer::kHttpPort);
    ~CQuorvinApp();

    bool InitInstance();
    void Run();
    int ExitInstance();

    void OnAppAbout();

    CMainFrame* MainWindow() { return m_pMainWnd.get(); }

    // Switches and the commands a second start posts for them, in posting order.
    static std::vector<int> ForwardedCommands(const CCommandLine& commandLine);

private:
    void PostCommand(int id);

    IDesktop& m_desktop;
    const ProfileStore& m_profile;
    CCommandLine m_commandLine;
    RuntimePlace m_runtime;
    unsigned m_httpPort;
    std::unique_ptr<CReactor> m_reactor;
    std::unique_ptr<INotificationArea> m_notificationArea;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    std::unique_ptr<CCommandChannel> m_channel;
    bool m_closing = false;
    int m_exitStatus = 0;
};

}  // namespace quorvin
