#include "net/TimerQueue.h"

#include <utility>

#include "net/Sys.h"

namespace {
constexpr std::int64_t kNsPerMs = 1000000;
}  // namespace

CTimerQueue::CTimerQueue() : m_fd(sys::TimerCreate()) {}

CTimerQueue::TimerId CTimerQueue::Add(int delayMs, std::function<void()> onExpiry) {
    const std::int64_t atNs =
        sys::MonotonicNs() + std::int64_t{delayMs < 0 ? 0 : delayMs} * kNsPerMs;
    const TimerId id = ++m_lastId;
    m_callbacks.emplace(id, std::move(onExpiry));
    m_deadlines.push(Deadline{atNs, id});
    if (m_armedNs == 0 || atNs < m_armedNs) {
        ArmFor(atNs);
    }
    return id;
}

void CTimerQueue::Cancel(TimerId id) {
    // The heap entry stays until it comes to the top; it then finds no callback.
    m_callbacks.erase(id);
}

void CTimerQueue::RunExpired() {
    sys::TimerClear(m_fd.Get());
    m_armedNs = 0;
    const std::int64_t nowNs = sys::MonotonicNs();
    for (SkipCancelled(); !m_deadlines.empty() && m_deadlines.top().atNs <= nowNs;
         SkipCancelled()) {
        const TimerId id = m_deadlines.top().id;
        m_deadlines.pop();
        const auto found = m_callbacks.find(id);
        std::function<void()> onExpiry = std::move(found->second);
        m_callbacks.erase(found);
        onExpiry();
    }
    if (!m_deadlines.empty() && (m_armedNs == 0 || m_deadlines.top().atNs < m_armedNs)) {
        ArmFor(m_deadlines.top().atNs);
    }
}

void CTimerQueue::SkipCancelled() {
    while (!m_deadlines.empty() && m_callbacks.count(m_deadlines.top().id) == 0) {
        m_deadlines.pop();
    }
}

void CTimerQueue::ArmFor(std::int64_t atNs) {
    sys::TimerArmAt(m_fd.Get(), atNs);
    m_armedNs = atNs;
}
