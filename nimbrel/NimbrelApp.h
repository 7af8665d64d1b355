#pragma once

#include <memory>
#include <vector>

#include "dns/DnsMessage.h"
#include "shell/CommandLine.h"
#include "shell/RuntimeFolder.h"

class CCommandChannel;
class CInstanceLock;
class CReactor;
class IDesktop;
class INotificationArea;
class ProfileStore;

namespace nimbrel {

class CMainFrame;

// Nimbrel's application object: reads the switches, hands them to a running instance or
// becomes the instance, creates the main window and starts the DNS service, and runs the
// loop until the Exit command.
class CNimbrelApp {
public:
    static constexpr const char* kProgramTitle = "Nimbrel";
    // The name a second start looks for (any letter case finds the window).
    static constexpr const char* kWindowName = "NIMBREL";
    static constexpr const char* kMutexName = "NIMBRELLERBMIN";

    // None of the references is owned; all must outlive the application object.
    // `dnsPort` stays at its default in the program.
    CNimbrelApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                RuntimePlace runtime, unsigned dnsPort = dns::kDnsPort);
    ~CNimbrelApp();

    // True to enter the loop; false to end at once (forwarded, /q, or a failure).
    bool InitInstance();
    void Run();
    // The process's exit status.
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
    unsigned m_dnsPort;
    std::unique_ptr<CInstanceLock> m_mutex;
    std::unique_ptr<CReactor> m_reactor;
    std::unique_ptr<INotificationArea> m_notificationArea;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    std::unique_ptr<CCommandChannel> m_channel;
    bool m_closing = false;
    int m_exitStatus = 0;
};

}  // namespace nimbrel
