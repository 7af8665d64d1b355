#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "dns/QueryOrigin.h"
#include "net/AsyncSocket.h"

class CDnsStreamConnection;
class CQueryHandler;

// The DNS service's TCP face: the listening socket on the service address and the client
// connections it accepted. At most kMaxConnections at once; one more is accepted and closed
// at once, so its client moves on without waiting. When no descriptor is left, accepting
// waits until one frees (the socket layer holds the listener back meanwhile).
//
// Owned by the main window beside the datagram socket, for as long as the service runs;
// deleting it closes every connection and drops what they had pending. The handler is not
// owned and must outlive it.
class CDnsStreamListener : public CAsyncSocket, private IQueryTransport {
public:
    static constexpr std::size_t kMaxConnections = 128;
    static constexpr int kIdleTimeoutMs = 10000;

    explicit CDnsStreamListener(CQueryHandler& handler, int idleTimeoutMs = kIdleTimeoutMs);
    ~CDnsStreamListener() override;

    // Binds address:port and listens; false with the socket error set.
    bool Start(const char* address, unsigned port);

    std::size_t ConnectionCount() const { return m_connections.size(); }
    // Deletes the connection `id`, which has ended.
    void Drop(std::uint64_t id);

protected:
    void OnAccept(int errorCode) override;

private:
    // IQueryTransport: the reply goes to its connection, unless that has ended meanwhile.
    void Finish(const QueryOrigin& origin, const std::uint8_t* reply, std::size_t length) override;

    CQueryHandler& m_handler;
    const int m_idleTimeoutMs;
    std::unordered_map<std::uint64_t, std::unique_ptr<CDnsStreamConnection>> m_connections;
    std::uint64_t m_lastId = 0;
};
