#include "httpd/ConnectionRoster.h"

#include <vector>

#include "httpd/RequestSocket.h"
CConnectionRoster::CConnectionRoster(const ConnectionLimits& limits) : m_limits(limits) {}

CConnectionRoster::~CConnectionRoster() {
    if (m_sweep != 0) {
        m_reactor->StopTimer(m_sweep);
    }
    for (auto& [connection, watch] : m_connections) {
        connection->ForgetRoster();
    }
}

bool CConnectionRoster::IsFull() const {
    return static_cast<int>(m_connections.size()) >= m_limits.maxConnections;
}

void CConnectionRoster::Add(CRequestSocket& connection) {
    m_connections[&connection] = httpd::IdleWatch{};
    if (m_sweep == 0) {
        StartSweep();
    }
}

void CConnectionRoster::Remove(CRequestSocket& connection) {
    m_connections.erase(&connection);
    if (m_heldListener != nullptr && !IsFull()) {
        CAsyncSocket* listener = m_heldListener;
        m_heldListener = nullptr;
        listener->AsyncSelect(FD_ACCEPT);
    }
}

void CConnectionRoster::HoldUntilRoom(CAsyncSocket& listener) {
    // Not accepting is enough: the listener is told of waiting connections again only
    // once AsyncSelect re-arms it.
    m_heldListener = &listener;
}

void CConnectionRoster::ForgetListener(const CAsyncSocket& listener) {
    if (m_heldListener == &listener) {
        m_heldListener = nullptr;
    }
}

void CConnectionRoster::StartSweep() {
    m_reactor = CReactor::Current();
    if (m_reactor != nullptr) {
        m_sweep = m_reactor->StartTimer(m_limits.sweepPeriodMs, [this] { Sweep(); });
    }
}

void CConnectionRoster::Sweep() {
    m_sweep = 0;
    const int quietLooksAllowed = m_limits.idleLimitMs / m_limits.sweepPeriodMs;
    std::vector<CRequestSocket*> stalled;
    for (auto& [connection, watch] : m_connections) {
        watch = httpd::LookAt(watch, connection->TakeProgress(), connection->UnacknowledgedBytes());
        if (httpd::HasStalled(watch, quietLooksAllowed)) {
            stalled.push_back(connection);
        }
    }
    // Each one leaves the roster as it ends.
    for (CRequestSocket* connection : stalled) {
        connection->Expire();
    }
    if (!m_connections.empty()) {
        StartSweep();
    }
}
