#include "nimbrel/NimbrelApp.h"

#include <string>
#include <utility>

#include "nimbrel/Commands.h"
#include "nimbrel/MainFrame.h"
#include "nimbrel/ServiceText.h"
#include "nimbrel/StartupPlan.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"
#include "shell/WindowMessages.h"

namespace nimbrel {
namespace {

// The order in which a second start posts its switches.
constexpr CTrayApplication::Forward kForwards[] = {
    {"/h", ID_HIDE},         {"/l", ID_LOAD_FILTERS},
    {"/u", ID_UPDATE_LISTS}, {"/s", ID_START},
    {"/q", ID_APP_EXIT},     {"/n", ID_MODIFY_NAMED},
    {"/p", ID_MODIFY_PASS},  {"/f", ID_SELECT_FILTER_FOLDER},
};

}  // namespace

CNimbrelApp::CNimbrelApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                         RuntimePlace runtime, unsigned dnsPort)
    : CTrayApplication("Nimbrel", desktop, profile, std::move(commandLine), std::move(runtime)),
      m_dnsPort(dnsPort) {}

CNimbrelApp::~CNimbrelApp() {
    m_pMainWnd.reset();
}

std::vector<int> CNimbrelApp::ForwardedCommands(const CCommandLine& commandLine) {
    return CommandsFor(commandLine, kForwards);
}

bool CNimbrelApp::InitInstance() {
    const StartupPlan plan = PlanStartup(m_commandLine);
    if (plan.showAbout) {
        OnAppAbout();
    }
    if (!IsFirstStart(kMutexName, kWindowName, kForwards)) {
        return false;
    }
    if (plan.quit) {
        LeaveQuitToStartUnderWay(kWindowName, kForwards);
        return false;
    }
    TakeCommandChannel(kWindowName);
    if (plan.hideOnStart) {
        m_profile.WriteInt(profile::kPreferences, profile::kHideOnStart, *plan.hideOnStart);
    }
    if (!InitSocketLayer(kProgramTitle)) {
        return false;
    }

    CMainFrame::Services services{[this] { OnAppAbout(); }, [this] { CloseWindow(); }};
    m_pMainWnd = std::make_unique<CMainFrame>(m_profile, CreateNotificationArea("nimbrel"),
                                              m_desktop, std::move(services), m_dnsPort);
    if (!m_pMainWnd->Create()) {
        Fail();
        return false;
    }
    AcceptCommands(*m_pMainWnd);
    WriteStatusOnSignal([this] { return StatusLine(m_pMainWnd->QueryLog().Counters()); });
    m_pMainWnd->StartDnsService();
    m_pMainWnd->NotifyIfNothingBlocked();

    for (const int command : plan.commands) {
        PostCommand(command);
    }
    return true;
}

int CNimbrelApp::ExitInstance() {
    const int status = CTrayApplication::ExitInstance();
    m_pMainWnd.reset();
    return status;
}

void CNimbrelApp::OnAppAbout() {
    m_desktop.RunAbout(AboutInfo{"About Nimbrel", std::string("Nimbrel ") + NQ_VERSION,
                                 "Answers the listed hosts with 127.0.0.1.\n"
                                 "Relays other names to the servers chosen in Proxy DNS...,\n"
                                 "and refuses them while none is chosen.",
                                 128, 132});
}

}  // namespace nimbrel
