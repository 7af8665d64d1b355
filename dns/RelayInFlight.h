#pragma once

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "dns/RelayRequest.h"
#include "net/Reactor.h"

class CRelayInFlight;

// What a relay in flight reports to whoever holds it.
class IRelayOwner {
public:
    virtual ~IRelayOwner() = default;
    // A server is about to be asked.
    virtual void OnAsking() = 0;
    // The relay is over, with the reply (`reply` points at `length` bytes) or without one
    // (`reply` null). The owner deletes `relay`; that is the last thing that happens to it.
    virtual void OnRelayEnded(CRelayInFlight& relay, const std::uint8_t* reply,
                              std::size_t length) = 0;
};

// One relayed query in flight: it asks the servers it was given one after another, each once
// the previous one has had the reply time-out (or has failed), and ends at the first reply or
// when none is left. How a server is asked is the transport's: a datagram (CPendingRelay) or
// a connection of its own (CStreamRelay). Owned by its IRelayOwner; deleting it forgets its
// time-out.
class CRelayInFlight {
public:
    static constexpr int kMaxServers = 5;

    // `servers`: address and port, in asking order. `owner` and `client` must outlive it;
    // the thread's reactor must exist.
    CRelayInFlight(const RelayRequest& request, const std::array<sockaddr_in, kMaxServers>& servers,
                   int serverCount, int replyTimeoutMs, IRelayOwner& owner, IRelayClient& client);
    virtual ~CRelayInFlight();

    CRelayInFlight(const CRelayInFlight&) = delete;
    CRelayInFlight& operator=(const CRelayInFlight&) = delete;

    // Opens what the transport needs and asks the first server; false when that fails.
    virtual bool Start() = 0;

    const RelayRequest& Request() const { return m_request; }
    IRelayClient& Client() const { return m_client; }
    // Once the relay ended with a reply: the server that sent it (IPv4, network order).
    std::uint32_t AnsweredBy() const { return m_answeredBy; }
    // Microseconds since the first server was asked.
    std::uint32_t ElapsedUs() const;

protected:
    // Asks `server` (the next one) in the transport's way.
    virtual void Ask(const sockaddr_in& server) = 0;

    // Asks the next server, or ends the relay without a reply when none is left. May delete
    // the object: the caller returns at once.
    void AskNext();
    // Ends the relay with this reply from `server`; deletes the object.
    void End(const std::uint8_t* reply, std::size_t length, const sockaddr_in& server);
    // The server asked last, whose connection a stream relay reads.
    const sockaddr_in& LastAsked() const { return m_servers[m_asked - 1]; }
    // `sender` is one of the servers asked so far.
    bool IsAskedServer(const sockaddr_in& sender) const;

    const RelayRequest m_request;

private:
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
