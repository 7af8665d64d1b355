#include "quorvin/QuorvinApp.h"

#include <csignal>
#include <string>
#include <utility>

#include "net/Reactor.h"
#include "quorvin/Commands.h"
#include "quorvin/MainFrame.h"
#include "settings/ProfileStore.h"
#include "shell/CommandChannel.h"
#include "shell/Desktop.h"
#include "shell/WindowMessages.h"

namespace quorvin {
namespace {

constexpr const char* kSocketsFailed = "Windows sockets initialization failed.";

struct Forward {
    const char* switchText;
    int command;
};

// The order in which a second start posts its switches.
constexpr Forward kForwards[] = {
    {"/h", ID_HIDE},
    {"/s", ID_START},
    {"/i", ID_USE_IMAGES},
    {"/q", ID_APP_EXIT},
};

}  // namespace

CQuorvinApp::CQuorvinApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                         RuntimePlace runtime, unsigned httpPort)
    : m_desktop(desktop),
      m_profile(profile),
      m_commandLine(std::move(commandLine)),
      m_runtime(std::move(runtime)),
      m_httpPort(httpPort) {}

CQuorvinApp::~CQuorvinApp() {
    m_channel.reset();
    m_pMainWnd.reset();
    m_notificationArea.reset();
    m_reactor.reset();
}

std::vector<int> CQuorvinApp::ForwardedCommands(const CCommandLine& commandLine) {
    std::vector<int> commands;
    for (const Forward& forward : kForwards) {
        if (commandLine.Has(forward.switchText)) {
            commands.push_back(forward.command);
        }
    }
    return commands;
}

bool CQuorvinApp::InitInstance() {
    if (m_commandLine.Has("/a")) {
        OnAppAbout();
    }
    if (CCommandChannel::Post(m_runtime.folder, m_runtime.NameFor(kWindowName),
                              ForwardedCommands(m_commandLine))) {
        return false;
    }
    if (m_commandLine.Has("/q")) {
        return false;
    }
    if (m_commandLine.Has("/v")) {
        if (m_profile.ReadInt("Preferences", "HideOnStart", 1) == 1) {
            m_profile.WriteInt("Preferences", "HideOnStart", 0);
        }
    } else if (m_profile.ReadInt("Preferences", "HideOnStart", 0) == 0) {
        m_profile.WriteInt("Preferences", "HideOnStart", 1);
    }
    if (m_commandLine.Has("/t") && m_profile.ReadInt("Preferences", "Images", 1) == 1) {
        m_profile.WriteInt("Preferences", "Images", 0);
    }

    m_reactor = std::make_unique<CReactor>();
    if (!m_reactor->IsValid()) {
        m_desktop.ShowMessage(kProgramTitle, kSocketsFailed);
        m_exitStatus = 1;
        return false;
    }

    m_notificationArea = m_desktop.CreateNotificationArea("quorvin");
    CMainFrame::Services services{[this] { OnAppAbout(); },
                                  [this] {
                                      m_closing = true;
                                      m_desktop.Quit();
                                  }};
    m_pMainWnd = std::make_unique<CMainFrame>(m_profile, *m_notificationArea, std::move(services),
                                              m_httpPort);
    if (!m_pMainWnd->Create()) {
        m_exitStatus = 1;
        return false;
    }
    m_channel = std::make_unique<CCommandChannel>(*m_reactor, [this](int id) { PostCommand(id); });
    m_channel->Listen(m_runtime.folder, m_runtime.NameFor(kWindowName));
    m_reactor->PostOnSignal(SIGTERM, [this] { m_pMainWnd->OnCommand(ID_APP_EXIT); });
    m_reactor->PostOnSignal(SIGINT, [this] { m_pMainWnd->OnCommand(ID_APP_EXIT); });
    return true;
}

void CQuorvinApp::PostCommand(int id) {
    m_reactor->Post([this, id] {
        // Commands posted behind Exit are never carried out.
        if (!m_closing) {
            m_pMainWnd->OnCommand(id);
        }
    });
}

void CQuorvinApp::Run() {
    m_desktop.Run(*m_reactor);
}

int CQuorvinApp::ExitInstance() {
    m_channel.reset();
    m_pMainWnd.reset();
    return m_exitStatus;
}

void CQuorvinApp::OnAppAbout() {
    m_desktop.RunAbout(AboutInfo{"About Quorvin", std::string("Quorvin ") + NQ_VERSION,
                                 "Answers every request with a harmless picture.", 128, 132});
}

}  // namespace quorvin
