#include "shell/TrayApplication.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "net/Reactor.h"
#include "net/Sys.h"
#include "shell/CommandChannel.h"
#include "shell/Desktop.h"
#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

namespace {

constexpr const char* kSocketsFailed = "Windows sockets initialization failed.";

}  // namespace

CTrayApplication::CTrayApplication(const char* programName, IDesktop& desktop,
                                   const ProfileStore& profile, CCommandLine commandLine,
                                   RuntimePlace runtime)
    : m_programName(programName),
      m_desktop(desktop),
      m_profile(profile),
      m_commandLine(std::move(commandLine)),
      m_runtime(std::move(runtime)) {}

CTrayApplication::~CTrayApplication() {
    m_channel.reset();
    m_notificationArea.reset();
    m_reactor.reset();
}

std::vector<int> CTrayApplication::CommandsFor(const CCommandLine& commandLine,
                                               std::span<const Forward> forwards) {
    std::vector<int> commands;
    for (const Forward& forward : forwards) {
        if (commandLine.Has(forward.switchText)) {
            commands.push_back(forward.command);
        }
    }
    return commands;
}

bool CTrayApplication::ForwardToRunningInstance(const char* windowName,
                                                std::span<const Forward> forwards) {
    if (m_runtime.folder.empty()) {
        return false;
    }
    const CCommandChannel::PostResult result =
        CCommandChannel::Post(m_runtime.folder, windowName, CommandsFor(m_commandLine, forwards));
    if (result == CCommandChannel::PostResult::kNotTaken) {
        std::fprintf(stderr, "%s: the running instance at %s/%s did not take the commands\n",
                     m_programName, m_runtime.folder.c_str(), windowName);
    }
    return result != CCommandChannel::PostResult::kNoInstance;
}

bool CTrayApplication::InitSocketLayer(const char* programTitle) {
    // Every connection and every relayed query holds a descriptor: allow as many as the
    // system lets this process have.
    sys::RaiseDescriptorLimit();
    m_reactor = std::make_unique<CReactor>();
    if (!m_reactor->IsValid()) {
        m_desktop.ShowMessage(programTitle, kSocketsFailed);
        Fail();
        return false;
    }
    return true;
}

INotificationArea& CTrayApplication::CreateNotificationArea(const char* program) {
    m_notificationArea = m_desktop.CreateNotificationArea(program);
    return *m_notificationArea;
}

void CTrayApplication::AcceptCommands(ITrayOwner& window, const char* windowName) {
    m_window = &window;
    if (!m_runtime.folder.empty()) {
        m_channel =
            std::make_unique<CCommandChannel>(*m_reactor, [this](int id) { PostCommand(id); });
        if (!m_channel->Listen(m_runtime.folder, windowName)) {
            std::fprintf(stderr, "%s: cannot take commands at %s: %s\n", m_programName,
                         m_channel->Path().c_str(), std::strerror(errno));
            m_channel.reset();
        }
    }
    m_reactor->PostOnSignal(SIGTERM, [this] { m_window->OnCommand(ID_APP_EXIT); });
    m_reactor->PostOnSignal(SIGINT, [this] { m_window->OnCommand(ID_APP_EXIT); });
}

void CTrayApplication::WriteStatusOnSignal(std::function<std::string()> statusLine) {
    m_reactor->PostOnSignal(SIGUSR1, [statusLine = std::move(statusLine)] {
        std::fprintf(stderr, "%s\n", statusLine().c_str());
    });
}

void CTrayApplication::PostCommand(int id) {
    m_reactor->Post([this, id] {
        // Commands posted behind Exit are never carried out.
        if (!m_closing) {
            m_window->OnCommand(id);
        }
    });
}

void CTrayApplication::CloseWindow() {
    m_closing = true;
    m_desktop.Quit();
}

void CTrayApplication::Run() {
    m_desktop.Run(*m_reactor);
}

int CTrayApplication::ExitInstance() {
    m_channel.reset();
    m_window = nullptr;
    return m_exitStatus;
}
