#pragma once

#include <cstdint>
#include <functional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "base/UniqueFd.h"

// One-shot timers of one reactor behind one timerfd: the descriptor is readable once the
// earliest deadline has passed. Deadlines are on the monotonic clock, in milliseconds.
// A timer that has run or been cancelled is forgotten; cancelling it again does nothing.
class CTimerQueue {
public:
    using TimerId = std::uint64_t;

    CTimerQueue();

    bool IsValid() const { return m_fd.IsOpen(); }
    int Fd() const { return m_fd.Get(); }

    // `onExpiry` runs from RunExpired once `delayMs` have passed. Never returns 0.
    TimerId Add(int delayMs, std::function<void()> onExpiry);
    void Cancel(TimerId id);

    // Runs every timer whose deadline has passed, earliest first (a callback may add or
    // cancel timers), then arms the descriptor for the next one.
    void RunExpired();

private:
    struct Deadline {
        std::int64_t atNs;
        TimerId id;
        bool operator>(const Deadline& other) const {
            return atNs != other.atNs ? atNs > other.atNs : id > other.id;
        }
    };

    void ArmFor(std::int64_t atNs);
    // Drops cancelled timers from the top of the heap.
    void SkipCancelled();

    CUniqueFd m_fd;
    std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> m_deadlines;
    std::unordered_map<TimerId, std::function<void()>> m_callbacks;
    TimerId m_lastId = 0;
    std::int64_t m_armedNs = 0;  // deadline the descriptor is armed for; 0: disarmed
};
