#pragma once

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <cstdint>

#include "dns/RelayRequest.h"
#include "net/AsyncSocket.h"
#include "net/Reactor.h"

class CPendingRelay;

// What a pending relay reports to whoever holds it.
class IRelayOwner {
public:
    virtual ~IRelayOwner() = default;
    // A server is about to be asked.
    virtual void OnAsking() = 0;
    // The relay is over, with the reply (`reply` points at `length` bytes) or without one
    // (`reply` null). The owner deletes `relay`; that is the last thing that happens to it.
    virtual void OnRelayEnded(CPendingRelay& relay, const std::uint8_t* reply,
                              std::size_t length) = 0;
};

// One relayed query in flight, on a datagram socket of its own (its own source port). It
// asks the servers it was given one after another, each after the previous one stayed
// silent for the reply time-out, and ends at the first datagram that is the reply: from a
// server it asked, with the query's ID and question, no longer than the client takes.
// Anything else is read and thrown away and the wait goes on. Owned by its IRelayOwner;
// deleting it closes its socket and forgets its time-out.
class CPendingRelay : public CAsyncSocket {
public:
    static constexpr int kMaxServers = 5;

    // `servers`: address and port, in asking order. `owner` and `client` must outlive it;
    // the thread's reactor must exist.
    CPendingRelay(const RelayRequest& request, const std::array<sockaddr_in, kMaxServers>& servers,
                  int serverCount, int replyTimeoutMs, IRelayOwner& owner, IRelayClient& client);
    ~CPendingRelay() override;

    // Opens the socket and asks the first server; false when the socket cannot be made.
    bool Start();

    const RelayRequest& Request() const { return m_request; }
    IRelayClient& Client() const { return m_client; }
    // Once the relay ended with a reply: the server that sent it (IPv4, network order).
    std::uint32_t AnsweredBy() const { return m_answeredBy; }
    // Microseconds since the first server was asked.
    std::uint32_t ElapsedUs() const;

protected:
    void OnReceive(int errorCode) override;

private:
    // Asks the next server, or ends the relay without a reply when none is left.
    void AskNext();
    bool IsAskedServer(const sockaddr_in& sender) const;

    const RelayRequest m_request;
    const std::array<sockaddr_in, kMaxServers> m_servers;
    const int m_serverCount;
    const int m_replyTimeoutMs;
    IRelayOwner& m_owner;
    IRelayClient& m_client;
    CReactor& m_reactor;
    int m_asked = 0;  // servers asked so far: m_servers[0 .. m_asked)
    CReactor::TimerId m_timer = 0;
    std::chrono::steady_clock::time_point m_started;
    std::uint32_t m_answeredBy = 0;
};
