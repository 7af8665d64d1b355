#pragma once

#include <memory>
#include <vector>

#include "dns/DnsMessage.h"
#include "shell/TrayApplication.h"

namespace nimbrel {

class CMainFrame;

// Nimbrel's application object: reads the switches, hands them to a running instance or
// becomes the instance, creates the main window and starts the DNS service, and runs the
// loop until the Exit command.
class CNimbrelApp : public CTrayApplication {
public:
    static constexpr const char* kProgramTitle = "Nimbrel";
    // The name a second start looks for (any letter case finds the window).
    static constexpr const char* kWindowName = "NIMBREL";
    static constexpr const char* kMutexName = "NIMBRELLERBMIN";

    // None of the references is owned; all must outlive the application object.
    // `dnsPort` stays at its default in the program.
    CNimbrelApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                RuntimePlace runtime, unsigned dnsPort = dns::kDnsPort);
    ~CNimbrelApp() override;

    // True to enter the loop; false to end at once (forwarded, /q, or a failure).
    bool InitInstance();
    int ExitInstance() override;

    void OnAppAbout();

    CMainFrame* MainWindow() { return m_pMainWnd.get(); }

    // The commands a second start posts for these switches, in posting order.
    static std::vector<int> ForwardedCommands(const CCommandLine& commandLine);

private:
    const unsigned m_dnsPort;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

}  // namespace nimbrel
