#pragma once

#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueFd.h"
#include "tests/support/DnsMessages.h"

namespace kit {

// A stand-in for an upstream DNS server: a UDP socket and a TCP listener on one address and
// port, served on their own thread, that hand every query they receive (a datagram, or a
// message of a TCP connection) to a behaviour, which may answer, stay silent, answer later,
// or misbehave. The end-to-end tests bind it to port 53 of 127.0.0.2.
class CFakeUpstream {
public:
    struct Query {
        Bytes bytes;
        sockaddr_in from{};
        int connection = -1;  // the TCP connection it came on; -1: a datagram
    };
    // Runs on the server's thread, once per query received.
    using Behaviour = std::function<void(CFakeUpstream& server, const Query& query)>;

    // Binds address:port (0: any free port); see IsBound.
    CFakeUpstream(const std::string& address, unsigned port, Behaviour behaviour);
    ~CFakeUpstream();

    CFakeUpstream(const CFakeUpstream&) = delete;
    CFakeUpstream& operator=(const CFakeUpstream&) = delete;

    bool IsBound() const { return m_thread.joinable(); }
    unsigned Port() const { return m_port; }
    int QueriesSeen() const { return m_queriesSeen.load(); }
    int TcpQueriesSeen() const { return m_tcpQueriesSeen.load(); }

    // Sends a datagram from this server's own address and port.
    void SendTo(const sockaddr_in& to, const Bytes& bytes) const;
    // Answers `query` the way it came, now or once `delayMs` have passed (without holding up
    // the queries that come meanwhile): a datagram to its sender, or a message (with its
    // length) on its connection.
    void Answer(const Query& query, const Bytes& bytes) const;
    void AnswerLater(const Query& query, const Bytes& bytes, int delayMs);

private:
    using Clock = std::chrono::steady_clock;
    struct Deferred {
        Clock::time_point due;
        Query to;
        Bytes bytes;
    };
    struct Connection {
        CUniqueFd fd;
        std::string received;
    };

    void Serve();
    void ReceiveDatagram();
    // Reads what a connection sent and hands on its complete messages; false once it ended.
    bool ReadConnection(Connection& connection);
    // Sends what is due; the milliseconds until the next one is due (-1: none waits).
    int SendDue();

    unsigned m_port = 0;
    CUniqueFd m_socket;
    CUniqueFd m_listener;
    std::vector<std::unique_ptr<Connection>> m_connections;
    CUniqueFd m_stopRead;
    CUniqueFd m_stopWrite;
    Behaviour m_behaviour;
    std::atomic<int> m_queriesSeen{0};
    std::atomic<int> m_tcpQueriesSeen{0};
    std::vector<Deferred> m_deferred;
    std::thread m_thread;
};

// Fake servers on 127.0.0.x addresses that all share one port, as real upstream servers
// share port 53: the relay is told that port once.
class CFakeUpstreamGroup {
public:
    struct Member {
        std::string address;
        CFakeUpstream::Behaviour behaviour;
    };

    // Retries with another port if one of the addresses has it taken already.
    explicit CFakeUpstreamGroup(const std::vector<Member>& members);

    bool IsBound() const { return !m_servers.empty(); }
    unsigned Port() const { return m_servers.front()->Port(); }
    CFakeUpstream& operator[](std::size_t index) { return *m_servers[index]; }

private:
    std::vector<std::unique_ptr<CFakeUpstream>> m_servers;
};

// Behaviours; each answers the way the query came.
CFakeUpstream::Behaviour Answering(std::uint8_t tag);
CFakeUpstream::Behaviour Silent();
// Answers each query `delayMs` after it came, queries side by side.
CFakeUpstream::Behaviour AnsweringAfter(int delayMs, std::uint8_t tag);
// Holds every query back until `count` have come, then answers them all.
CFakeUpstream::Behaviour AnsweringOnceSeen(int count, std::uint8_t tag);

}  // namespace kit
