#include "shell/TrayApplication.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

#include "net/Reactor.h"
#include "net/Sys.h"
#include "shell/CommandChannel.h"
#include "shell/Desktop.h"
#include "shell/InstanceLock.h"
#include "shell/StartUnderWay.h"
#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

namespace {

constexpr const char* kSocketsFailed = "Windows sockets initialization failed.";

// How long a second start keeps trying an instance that holds the lock but does not listen
// yet, and how long it sleeps between tries.
constexpr auto kForwardPatience = std::chrono::seconds(2);
constexpr auto kForwardStep = std::chrono::milliseconds(20);

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
    m_lock.reset();
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

bool CTrayApplication::IsFirstStart(const char* lockName, const char* windowName,
                                    std::span<const Forward> forwards) {
    if (m_runtime.folder.empty()) {
        return true;
    }
    m_lock = std::make_unique<CInstanceLock>(m_runtime.folder, lockName);
    if (!m_lock->AlreadyExisted()) {
        return true;
    }
    bool lockTaken = false;
    PostWhile(windowName, CommandsFor(m_commandLine, forwards),
              [&] { return !(lockTaken = m_lock->TryAgain()); });
    return lockTaken;
}

void CTrayApplication::LeaveQuitToStartUnderWay(const char* windowName,
                                                std::span<const Forward> forwards) {
    if (!m_lock || !AnotherStartUnderWay()) {
        return;
    }
    m_lock.reset();
    PostWhile(windowName, CommandsFor(m_commandLine, forwards),
              [] { return AnotherStartUnderWay(); });
}

void CTrayApplication::PostWhile(const char* windowName, const std::vector<int>& commands,
                                 const std::function<bool()>& keepTrying) {
    const auto deadline = std::chrono::steady_clock::now() + kForwardPatience;
    CCommandChannel::PostResult result;
    while ((result = CCommandChannel::Post(m_runtime.folder, windowName, commands)) ==
           CCommandChannel::PostResult::kNoInstance) {
        if (!keepTrying()) {
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "%s: no instance took the commands at %s/%s in time\n",
                         m_programName, m_runtime.folder.c_str(), windowName);
            Fail();
            return;
        }
        std::this_thread::sleep_for(kForwardStep);
    }
    if (result == CCommandChannel::PostResult::kNotTaken) {
        std::fprintf(stderr, "%s: the running instance at %s/%s did not take the commands\n",
                     m_programName, m_runtime.folder.c_str(), windowName);
        Fail();
    }
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

void CTrayApplication::TakeCommandChannel(const char* windowName) {
    if (m_runtime.folder.empty()) {
        return;
    }
    m_channel = std::make_unique<CCommandChannel>();
    if (!m_channel->Listen(m_runtime.folder, windowName)) {
        std::fprintf(stderr, "%s: cannot take commands at %s: %s\n", m_programName,
                     m_channel->Path().c_str(), std::strerror(errno));
        m_channel.reset();
    }
}

void CTrayApplication::AcceptCommands(ITrayOwner& window) {
    m_window = &window;
    if (m_channel && !m_channel->Serve(*m_reactor, [this](int id) { PostCommand(id); })) {
        std::fprintf(stderr, "%s: cannot take commands at %s: %s\n", m_programName,
                     m_channel->Path().c_str(), std::strerror(errno));
        m_channel.reset();
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
