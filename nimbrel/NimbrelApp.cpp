#include "nimbrel/NimbrelApp.h"

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "net/Reactor.h"
#include "nimbrel/Commands.h"
#include "nimbrel/MainFrame.h"
#include "settings/ProfileStore.h"
#include "shell/CommandChannel.h"
#include "shell/Desktop.h"
#include "shell/InstanceLock.h"
#include "shell/WindowMessages.h"

namespace nimbrel {
namespace {

constexpr const char* kSocketsFailed = "Windows sockets initialization failed.";

struct Forward {
    const char* switchText;
    int command;
};

// The order in which a second start posts its switches.
constexpr Forward kForwards[] = {
    {"/h", ID_HIDE},
    {"/l", ID_LOAD_FILTERS},
    {"/s", ID_START},
    {"/q", ID_APP_EXIT},
    {"/n", ID_MODIFY_NAMED},
    {"/p", ID_MODIFY_PASS},
    {"/f", ID_SELECT_FILTER_FOLDER},
};

}  // namespace

CNimbrelApp::CNimbrelApp(IDesktop& desktop, const ProfileStore& profile, CCommandLine commandLine,
                         RuntimePlace runtime, unsigned dnsPort)
    : m_desktop(desktop),
      m_profile(profile),
      m_commandLine(std::move(commandLine)),
      m_runtime(std::move(runtime)),
      m_dnsPort(dnsPort) {}

CNimbrelApp::~CNimbrelApp() {
    m_channel.reset();
    m_pMainWnd.reset();
    m_notificationArea.reset();
    m_reactor.reset();
}

std::vector<int> CNimbrelApp::ForwardedCommands(const CCommandLine& commandLine) {
    std::vector<int> commands;
    for (const Forward& forward : kForwards) {
        if (commandLine.Has(forward.switchText)) {
            commands.push_back(forward.command);
        }
    }
    return commands;
}

bool CNimbrelApp::InitInstance() {
    if (m_commandLine.Has("/a")) {
        OnAppAbout();
    }
    m_mutex = std::make_unique<CInstanceLock>(m_runtime.folder, m_runtime.NameFor(kMutexName));
    if (m_mutex->AlreadyExisted()) {
        CCommandChannel::Post(m_runtime.folder, m_runtime.NameFor(kWindowName),
                              ForwardedCommands(m_commandLine));
        return false;
    }
    if (m_commandLine.Has("/q")) {
        return false;
    }
    if (m_commandLine.Has("/v")) {
        m_profile.WriteInt("Preferences", "HideOnStart", 0);
    }
    if (m_commandLine.Has("/h")) {
        m_profile.WriteInt("Preferences", "HideOnStart", 1);
    }

    m_reactor = std::make_unique<CReactor>();
    if (!m_reactor->IsValid()) {
        m_desktop.ShowMessage(kProgramTitle, kSocketsFailed);
        m_exitStatus = 1;
        return false;
    }

    m_notificationArea = m_desktop.CreateNotificationArea("nimbrel");
    CMainFrame::Services services{[this] { OnAppAbout(); },
                                  [this] {
                                      m_closing = true;
                                      m_desktop.Quit();
                                  }};
    m_pMainWnd = std::make_unique<CMainFrame>(m_profile, *m_notificationArea, m_desktop,
                                              std::move(services), m_dnsPort);
    if (!m_pMainWnd->Create()) {
        m_exitStatus = 1;
        return false;
    }
    m_channel = std::make_unique<CCommandChannel>(*m_reactor, [this](int id) { PostCommand(id); });
    m_channel->Listen(m_runtime.folder, m_runtime.NameFor(kWindowName));
    m_reactor->PostOnSignal(SIGTERM, [this] { m_pMainWnd->OnCommand(ID_APP_EXIT); });
    m_reactor->PostOnSignal(SIGINT, [this] { m_pMainWnd->OnCommand(ID_APP_EXIT); });

    m_pMainWnd->StartDnsService();

    if (m_commandLine.Has("/n")) {
        PostCommand(ID_MODIFY_NAMED);
    }
    if (m_commandLine.Has("/p")) {
        PostCommand(ID_MODIFY_PASS);
    }
    return true;
}

void CNimbrelApp::PostCommand(int id) {
    m_reactor->Post([this, id] {
        // Commands posted behind Exit are never carried out.
        if (!m_closing) {
            m_pMainWnd->OnCommand(id);
        }
    });
}

void CNimbrelApp::Run() {
    m_desktop.Run(*m_reactor);
}

int CNimbrelApp::ExitInstance() {
    m_channel.reset();
    m_pMainWnd.reset();
    m_mutex.reset();
    return m_exitStatus;
}

void CNimbrelApp::OnAppAbout() {
    m_desktop.RunAbout(AboutInfo{"About Nimbrel", std::string("Nimbrel ") + NQ_VERSION,
                                 "Answers listed hosts with 127.0.0.1 and relays the rest.", 128,
                                 132});
}

}  // namespace nimbrel
