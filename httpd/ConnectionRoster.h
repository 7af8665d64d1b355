#pragma once

#include <unordered_map>

#include "httpd/ConnectionLimits.h"
#include "httpd/IdleWatch.h"
#include "net/Reactor.h"

class CAsyncSocket;
class CRequestSocket;

// The image server's live connections, known but not owned: each connection still deletes
// itself, and leaves the roster on the way. One sweep of the reactor's timers, running while
// any connection lives, closes those that made no progress for the idle limit. At the bound
// of connections the listener is held back, its connections left waiting in the queue, until
// one ends. Owned by the image server; connections still open when it goes forget it.
class CConnectionRoster {
public:
    explicit CConnectionRoster(const ConnectionLimits& limits);
    ~CConnectionRoster();
    CConnectionRoster(const CConnectionRoster&) = delete;
    CConnectionRoster& operator=(const CConnectionRoster&) = delete;

    bool IsFull() const;
    // An accepted connection; its idle time starts now.
    void Add(CRequestSocket& connection);
    void Remove(CRequestSocket& connection);

    // Stops `listener`'s accept notifications until a connection ends; then AsyncSelect
    // re-arms them. A listener that closes first says so with ForgetListener.
    void HoldUntilRoom(CAsyncSocket& listener);
    void ForgetListener(const CAsyncSocket& listener);

private:
    void StartSweep();
    void Sweep();

    const ConnectionLimits m_limits;
    std::unordered_map<CRequestSocket*, httpd::IdleWatch> m_connections;
    CAsyncSocket* m_heldListener = nullptr;
    CReactor* m_reactor = nullptr;  // where the sweep runs, while it does
    CReactor::TimerId m_sweep = 0;
};
