#include "dns/DnsStreamListener.h"

#include <sys/socket.h>

#include "dns/DnsStreamConnection.h"

CDnsStreamListener::CDnsStreamListener(CQueryHandler& handler, int idleTimeoutMs)
    : m_handler(handler), m_idleTimeoutMs(idleTimeoutMs) {}

CDnsStreamListener::~CDnsStreamListener() = default;

bool CDnsStreamListener::Start(const char* address, unsigned port) {
    if (!Create(port, SOCK_STREAM, FD_ACCEPT, address)) {
        return false;
    }
    if (!Listen(SOMAXCONN)) {
        const int error = WSAGetLastError();
        Close();
        WSASetLastError(error);
        return false;
    }
    return true;
}

void CDnsStreamListener::OnAccept(int /*errorCode*/) {
    if (m_connections.size() >= kMaxConnections) {
        CAsyncSocket refused;
        if (Accept(refused)) {
            refused.Close();
        }
        return;
    }
    const std::uint64_t id = ++m_lastId;
    IQueryTransport& transport = *this;
    auto connection =
        std::make_unique<CDnsStreamConnection>(*this, transport, id, m_handler, m_idleTimeoutMs);
    if (!Accept(*connection)) {
        return;
    }
    CDnsStreamConnection& accepted = *connection;
    m_connections.emplace(id, std::move(connection));
    accepted.Begin();
}

void CDnsStreamListener::Drop(std::uint64_t id) {
    m_connections.erase(id);
}

void CDnsStreamListener::Finish(const QueryOrigin& origin, const std::uint8_t* reply,
                                std::size_t length) {
    const auto found = m_connections.find(origin.connection);
    if (found != m_connections.end()) {
        found->second->Finish(reply, length);
    }
}
