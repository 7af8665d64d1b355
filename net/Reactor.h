#pragma once

#include <sys/epoll.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "net/EpollPoller.h"
#include "net/HandleTable.h"
#include "net/ReadinessTarget.h"
#include "net/TimerQueue.h"
#include "net/WakePipe.h"

// The event loop of one thread: socket notifications and posted commands.
//
// Creating it initialises the socket layer for its thread: it becomes the thread's current
// reactor, which sockets register with (one reactor per thread; it must outlive that
// thread's sockets). Owned by whoever runs the thread's loop.
//
// Two ways to drive it: Run() blocks until Quit(); or an outside loop watches Fd() for
// readability and calls DispatchReady(0) each time it fires. Dispatch may be re-entered
// from inside a notification handler (a nested modal loop). Posted commands run between
// notifications, never while a socket handler is on the stack.
class CReactor {
public:
    CReactor();
    ~CReactor();

    CReactor(const CReactor&) = delete;
    CReactor& operator=(const CReactor&) = delete;

    // False when the reactor could not get its descriptors; no socket can be created then.
    bool IsValid() const;

    // The reactor of the calling thread, or null.
    static CReactor* Current();

    // Readable whenever DispatchReady has work to do.
    int Fd() const { return m_poller.Fd(); }

    // Waits up to `timeoutMs` (0: not at all, -1: without limit) for readiness, then
    // delivers the notifications that are due and runs the posted commands.
    void DispatchReady(int timeoutMs);

    // Dispatches until Quit() is called; returns at once when Quit came first.
    void Run();
    void Quit();

    // Queues a command for the loop; it runs once no socket handler is on the stack.
    void Post(std::function<void()> command);

    // Watches a descriptor that is not a socket of this layer (a Unix-domain socket, say):
    // `onReadable` runs from dispatch, like a socket handler, as long as the descriptor is
    // readable and until Unwatch. False when epoll refuses the descriptor. Of the readiness
    // found by one wait, the watches are served before the sockets.
    bool WatchReadable(int fd, std::function<void()> onReadable);
    // The same for readability, writability or both (`events`: EPOLLIN and EPOLLOUT bits):
    // `onReady` is handed the EPOLL* bits that hold (EPOLLERR and EPOLLHUP among them). A
    // descriptor has one watch at a time: Unwatch it before watching it for other events.
    bool WatchReadiness(int fd, std::uint32_t events, std::function<void(std::uint32_t)> onReady);
    void Unwatch(int fd);
    // Stops watching `fd` until a socket of this thread closes and frees a descriptor: for a
    // listener whose accept failed for lack of descriptors, which stays readable meanwhile.
    void HoldWatchUntilDescriptorFree(int fd);

    // Runs `onExpiry` from dispatch, like a socket handler, once `delayMs` have passed.
    using TimerId = CTimerQueue::TimerId;
    TimerId StartTimer(int delayMs, std::function<void()> onExpiry);
    // Forgets a timer that has not run yet; does nothing for one that has.
    void StopTimer(TimerId id);

    // Installs a handler for `signo` that only wakes the loop, which then posts `command`.
    // One reactor per process may watch signals; its destructor restores the defaults.
    bool PostOnSignal(int signo, std::function<void()> command);

    // Sockets: `target` is told the readiness of `fd` for as long as it is registered;
    // `token` names the registration. A socket unregisters right before it closes `fd`.
    // `withRoomToSend` false: room to send is not reported until AddRoomToSend.
    bool Register(IReadinessTarget& target, int fd, std::uint64_t& token,
                  bool withRoomToSend = true);
    bool AddRoomToSend(int fd, std::uint64_t token);
    void Unregister(std::uint64_t token);
    // The socket's state changed (a kind was re-enabled): look at it again from the loop.
    void ScheduleCheck(std::uint64_t token);
    // Its accept found no free descriptor: wait until a socket of this thread closes.
    void HoldAcceptUntilDescriptorFree(std::uint64_t token);

private:
    static constexpr int kMaxEventsPerWait = 64;

    struct Watch {
        int fd;
        std::uint32_t events;
        std::function<void(std::uint32_t)> onReady;
        bool held = false;
    };

    void Deliver(std::uint64_t token, std::uint32_t readiness);
    void DeliverToWatch(std::uint64_t token, std::uint32_t readiness);
    void RunChecks();
    void RunPostedCommands();
    void HandleWake();
    void ReleaseHeld();
    void RunTimers();
    bool HasPendingWork() const;

    CEpollPoller m_poller;
    CWakePipe m_wake;
    CTimerQueue m_timers;
    CHandleTable<IReadinessTarget> m_sockets;  // marked while a re-check is queued
    std::vector<std::uint64_t> m_checks;       // sockets to re-check, from m_checkHead on
    std::size_t m_checkHead = 0;
    std::vector<std::uint64_t> m_acceptHeld;
    std::deque<std::function<void()>> m_posted;
    std::map<std::uint64_t, Watch> m_watches;
    std::uint64_t m_lastWatchToken = 0;
    std::array<std::function<void()>, NSIG> m_signalCommands;
    int m_dispatchDepth = 0;
    int m_handlerDepth = 0;
    bool m_quit = false;
    bool m_runningOwnLoop = false;
};
