#pragma once

#include <cstdint>

// What the reactor needs of a socket registered with it: the poller's readiness to note,
// one notification kind at a time to deliver when due, and the kinds to re-enable once a
// descriptor has been freed. Implemented by CAsyncSocket; the reactor never owns one.
class IReadinessTarget {
public:
    // `readiness`: EPOLL* bits from the poller, or 0 for a re-check.
    virtual void NoteReadiness(std::uint32_t readiness) = 0;
    // Delivers the notification of `kind` (FD_*) if it is due. The handler may delete the
    // socket: the reactor looks the registration up again before the next kind.
    virtual void DeliverIfDue(int kind) = 0;
    // An accept that failed for lack of descriptors may be tried again.
    virtual void OnDescriptorFreed() = 0;

protected:
    ~IReadinessTarget() = default;
};
