#pragma once

#include <memory>
#include <vector>

#include "httpd/ImageServer.h"
#include "shell/TrayApplication.h"

namespace quorvin {

class CMainFrame;

// Quorvin's application object: reads the switches, hands them to a running instance or
// becomes the instance, applies the start-up switches to the profile, creates the main
// window (which starts the image server), and runs the loop until the Exit command.
class CQuorvinApp : public CTrayApplication {
public:
    static constexpr const char* kProgramTitle = "QUORVIN";
    static constexpr const char* kWindowName = "QUORVIN";
    // Held by the running instance, so that two starts at once find each other.
    static constexpr const char* kLockName = "QUORVINNIVROUQ";

    // None of the references is owned; all must outlive the application object.
    // `httpPort` stays at its default in the program.
    CQuorvinApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                RuntimePlace runtime, unsigned httpPort = CImageServer::kHttpPort);
    ~CQuorvinApp() override;

    // True to enter the loop; false to end at once (forwarded, /q, or a failure).
    bool InitInstance();
    int ExitInstance() override;

    void OnAppAbout();

    CMainFrame* MainWindow() { return m_pMainWnd.get(); }

    // The commands a second start posts for these switches, in posting order.
    static std::vector<int> ForwardedCommands(const CCommandLine& commandLine);

private:
    const unsigned m_httpPort;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

}  // namespace quorvin
