#include "quorvin/QuorvinApp.h"

#include <string>
#include <utility>

#include "quorvin/Commands.h"
#include "quorvin/MainFrame.h"
#include "quorvin/ServiceText.h"
#include "quorvin/StartupPlan.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"
#include "shell/WindowMessages.h"

namespace quorvin {
namespace {

// The order in which a second start posts its switches.
constexpr CTrayApplication::Forward kForwards[] = {
    {"/h", ID_HIDE},
    {"/s", ID_START},
    {"/i", ID_USE_IMAGES},
    {"/q", ID_APP_EXIT},
};

}  // namespace

CQuorvinApp::CQuorvinApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                         RuntimePlace runtime, unsigned httpPort)
    : CTrayApplication("Quorvin", desktop, profile, std::move(commandLine), std::move(runtime)),
      m_httpPort(httpPort) {}

CQuorvinApp::~CQuorvinApp() {
    m_pMainWnd.reset();
}

std::vector<int> CQuorvinApp::ForwardedCommands(const CCommandLine& commandLine) {
    return CommandsFor(commandLine, kForwards);
}

bool CQuorvinApp::InitInstance() {
    const StoredSettings stored{m_profile.ReadInt(profile::kPreferences, profile::kHideOnStart, 1),
                                m_profile.ReadInt(profile::kPreferences, profile::kHideOnStart, 0),
                                m_profile.ReadInt(profile::kPreferences, profile::kImages, 1)};
    const StartupPlan plan = PlanStartup(m_commandLine, stored);
    if (plan.showAbout) {
        OnAppAbout();
    }
    if (!IsFirstStart(kLockName, kWindowName, kForwards)) {
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
    if (plan.turnImagesOff) {
        m_profile.WriteInt(profile::kPreferences, profile::kImages, 0);
    }
    if (!InitSocketLayer(kProgramTitle)) {
        return false;
    }

    CMainFrame::Services services{[this] { OnAppAbout(); }, [this] { CloseWindow(); }};
    m_pMainWnd = std::make_unique<CMainFrame>(m_profile, CreateNotificationArea("quorvin"),
                                              std::move(services), m_httpPort);
    if (!m_pMainWnd->Create()) {
        Fail();
        return false;
    }
    AcceptCommands(*m_pMainWnd);
    WriteStatusOnSignal([this] { return StatusLine(m_pMainWnd->Requests()); });
    return true;
}

int CQuorvinApp::ExitInstance() {
    const int status = CTrayApplication::ExitInstance();
    m_pMainWnd.reset();
    return status;
}

void CQuorvinApp::OnAppAbout() {
    m_desktop.RunAbout(AboutInfo{"About Quorvin", std::string("Quorvin ") + NQ_VERSION,
                                 "Answers every request with a harmless picture.", 128, 132});
}

}  // namespace quorvin
