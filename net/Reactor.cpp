#include "net/Reactor.h"

#include <utility>

#include "net/SocketErrors.h"

namespace {

thread_local CReactor* t_current = nullptr;

// Registration tokens of the wake pipe and the timers; socket tokens never reach them.
constexpr std::uint64_t kWakeToken = ~std::uint64_t{0};
constexpr std::uint64_t kTimerToken = ~std::uint64_t{1};

// Watched descriptors have tokens with the top bit set, which socket tokens never have.
constexpr std::uint64_t kWatchTokenBit = std::uint64_t{1} << 63;

// Kinds tried for each socket with news, in this order: a connection is reported made before
// its data, and data is read before the close that follows it is reported.
constexpr int kDeliveryOrder[] = {FD_CONNECT, FD_READ, FD_WRITE, FD_OOB, FD_ACCEPT, FD_CLOSE};

}  // namespace

CReactor::CReactor() {
    if (m_poller.IsValid() && m_wake.IsValid() && m_timers.IsValid() &&
        m_poller.AddLevelTriggered(m_wake.ReadFd(), kWakeToken) &&
        m_poller.AddLevelTriggered(m_timers.Fd(), kTimerToken)) {
        t_current = this;
    }
}

CReactor::~CReactor() {
    if (t_current == this) {
        t_current = nullptr;
    }
}

bool CReactor::IsValid() const {
    return t_current == this;
}

CReactor* CReactor::Current() {
    return t_current;
}

void CReactor::DispatchReady(int timeoutMs) {
    ++m_dispatchDepth;
    epoll_event events[kMaxEventsPerWait];
    int count = m_poller.Wait(events, kMaxEventsPerWait, HasPendingWork() ? 0 : timeoutMs);
    // Watches first: what they report (a changed file, a forwarded command) happened before
    // the socket readiness of the same wait could be handled, whatever order the poller
    // lists them in.
    for (int i = 0; i < count; ++i) {
        if ((events[i].data.u64 & kWatchTokenBit) != 0 && events[i].data.u64 != kWakeToken &&
            events[i].data.u64 != kTimerToken) {
            DeliverToWatch(events[i].data.u64, events[i].events);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (events[i].data.u64 == kWakeToken) {
            HandleWake();
        } else if (events[i].data.u64 == kTimerToken) {
            RunTimers();
        } else if ((events[i].data.u64 & kWatchTokenBit) == 0) {
            Deliver(events[i].data.u64, events[i].events);
        }
    }
    RunChecks();
    RunPostedCommands();
    --m_dispatchDepth;
    // Whoever dispatches next (an outside loop, or a nested modal loop at any depth) only
    // calls again when Fd() is readable; only Run() at the top comes back by itself.
    if (HasPendingWork() && !(m_runningOwnLoop && m_dispatchDepth == 0)) {
        m_wake.Wake();
    }
}

void CReactor::Run() {
    m_runningOwnLoop = true;
    while (!m_quit) {
        DispatchReady(-1);
    }
    m_runningOwnLoop = false;
    m_quit = false;
}

void CReactor::Quit() {
    m_quit = true;
}

void CReactor::Post(std::function<void()> command) {
    m_posted.push_back(std::move(command));
    m_wake.Wake();
}

bool CReactor::PostOnSignal(int signo, std::function<void()> command) {
    if (signo <= 0 || signo >= static_cast<int>(m_signalCommands.size())) {
        return false;
    }
    m_signalCommands[static_cast<std::size_t>(signo)] = std::move(command);
    return m_wake.CatchSignal(signo);
}

CReactor::TimerId CReactor::StartTimer(int delayMs, std::function<void()> onExpiry) {
    return m_timers.Add(delayMs, std::move(onExpiry));
}

void CReactor::StopTimer(TimerId id) {
    m_timers.Cancel(id);
}

void CReactor::RunTimers() {
    ++m_handlerDepth;
    m_timers.RunExpired();
    --m_handlerDepth;
}

bool CReactor::WatchReadable(int fd, std::function<void()> onReadable) {
    return WatchReadiness(fd, EPOLLIN,
                          [onReadable = std::move(onReadable)](std::uint32_t) { onReadable(); });
}

bool CReactor::WatchReadiness(int fd, std::uint32_t events,
                              std::function<void(std::uint32_t)> onReady) {
    const std::uint64_t token = kWatchTokenBit | ++m_lastWatchToken;
    if (!m_poller.AddLevelTriggered(fd, token, events)) {
        return false;
    }
    m_watches.emplace(token, Watch{fd, events, std::move(onReady)});
    return true;
}

void CReactor::Unwatch(int fd) {
    for (auto it = m_watches.begin(); it != m_watches.end(); ++it) {
        if (it->second.fd == fd) {
            if (!it->second.held) {
                m_poller.Remove(fd);
            }
            m_watches.erase(it);
            return;
        }
    }
}

void CReactor::HoldWatchUntilDescriptorFree(int fd) {
    for (auto& [token, watch] : m_watches) {
        if (watch.fd == fd && !watch.held) {
            m_poller.Remove(fd);
            watch.held = true;
        }
    }
}

void CReactor::DeliverToWatch(std::uint64_t token, std::uint32_t readiness) {
    const auto found = m_watches.find(token);
    if (found == m_watches.end()) {
        return;  // unwatched earlier in this pass
    }
    // A copy: the callback may unwatch its own descriptor.
    const std::function<void(std::uint32_t)> onReady = found->second.onReady;
    ++m_handlerDepth;
    onReady(readiness);
    --m_handlerDepth;
}

bool CReactor::Register(IReadinessTarget& target, int fd, std::uint64_t& token,
                        bool withRoomToSend) {
    token = m_sockets.Add(&target);
    if (!m_poller.AddEdgeTriggered(fd, token, withRoomToSend)) {
        m_sockets.Remove(token);
        return false;
    }
    return true;
}

bool CReactor::AddRoomToSend(int fd, std::uint64_t token) {
    return m_poller.AddRoomToSend(fd, token);
}

void CReactor::Unregister(std::uint64_t token) {
    m_sockets.Remove(token);
    // No epoll_ctl: the caller closes the descriptor next, which takes it out of the epoll
    // set, since the layer never duplicates a socket descriptor and all are close-on-exec.
    // An event still queued for it carries a token that finds nothing.
    // The caller is about to free a descriptor: listeners that ran out may accept again.
    ReleaseHeld();
}

void CReactor::ReleaseHeld() {
    std::vector<std::uint64_t> held;
    held.swap(m_acceptHeld);
    for (std::uint64_t listenerToken : held) {
        if (IReadinessTarget* listener = m_sockets.Find(listenerToken)) {
            listener->OnDescriptorFreed();
        }
    }
    for (auto& [token, watch] : m_watches) {
        if (watch.held && m_poller.AddLevelTriggered(watch.fd, token, watch.events)) {
            watch.held = false;
        }
    }
}

void CReactor::ScheduleCheck(std::uint64_t token) {
    if (!m_sockets.Mark(token)) {
        return;
    }
    m_checks.push_back(token);
    // Inside dispatch, the end of the dispatch wakes the loop for it.
    if (m_dispatchDepth == 0) {
        m_wake.Wake();
    }
}

void CReactor::HoldAcceptUntilDescriptorFree(std::uint64_t token) {
    m_acceptHeld.push_back(token);
}

void CReactor::Deliver(std::uint64_t token, std::uint32_t readiness) {
    IReadinessTarget* socket = m_sockets.Find(token);
    if (socket == nullptr) {
        return;
    }
    socket->NoteReadiness(readiness);
    for (int kind : kDeliveryOrder) {
        // A handler may have closed or deleted the socket; its token then finds nothing.
        socket = m_sockets.Find(token);
        if (socket == nullptr) {
            return;
        }
        ++m_handlerDepth;
        socket->DeliverIfDue(kind);
        --m_handlerDepth;
    }
}

void CReactor::RunChecks() {
    // Checks queued while these run wait for the next round, after the poller had its turn.
    std::size_t roundEnd = m_checks.size();
    while (m_checkHead < roundEnd && m_checkHead < m_checks.size()) {
        std::uint64_t token = m_checks[m_checkHead++];
        if (m_sockets.Find(token) != nullptr) {
            m_sockets.Unmark(token);
            Deliver(token, 0);
        }
    }
    // What was queued meanwhile moves to the front, so that a socket that keeps re-arming
    // under steady load never makes the queue grow.
    m_checks.erase(m_checks.begin(), m_checks.begin() + static_cast<std::ptrdiff_t>(m_checkHead));
    m_checkHead = 0;
}

void CReactor::RunPostedCommands() {
    for (std::size_t left = m_posted.size(); left > 0 && m_handlerDepth == 0 && !m_posted.empty();
         --left) {
        std::function<void()> command = std::move(m_posted.front());
        m_posted.pop_front();
        command();
    }
}

void CReactor::HandleWake() {
    m_wake.Drain([this](int signo) {
        const std::function<void()>& command = m_signalCommands[static_cast<std::size_t>(signo)];
        if (command) {
            m_posted.push_back(command);
        }
    });
}

bool CReactor::HasPendingWork() const {
    return m_checkHead < m_checks.size() || (m_handlerDepth == 0 && !m_posted.empty());
}
