#include "tests/support/FakeUpstream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace kit {
namespace {

constexpr std::size_t kReceiveSize = 4096;
constexpr int kBindAttempts = 20;

}  // namespace

CFakeUpstream::CFakeUpstream(const std::string& address, unsigned port, Behaviour behaviour)
    : m_socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)),
      m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
      m_behaviour(std::move(behaviour)) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    const int on = 1;
    ::setsockopt(m_listener.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    int stop[2];
    socklen_t length = sizeof local;
    // The listener takes the port the datagram socket got.
    if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        ::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(m_listener.Get(), SOMAXCONN) != 0 || ::pipe2(stop, O_CLOEXEC) != 0) {
        return;
    }
    m_stopRead.Reset(stop[0]);
    m_stopWrite.Reset(stop[1]);
    m_port = ntohs(local.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CFakeUpstream::~CFakeUpstream() {
    if (m_thread.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(m_stopWrite.Get(), "x", 1);
        m_thread.join();
    }
}

void CFakeUpstream::Serve() {
    for (;;) {
        std::vector<pollfd> watched = {{m_stopRead.Get(), POLLIN, 0},
                                       {m_socket.Get(), POLLIN, 0},
                                       {m_listener.Get(), POLLIN, 0}};
        for (const auto& connection : m_connections) {
            watched.push_back({connection->fd.Get(), POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), SendDue()) < 0 ||
            (watched[0].revents & POLLIN) != 0) {
            return;
        }
        if ((watched[1].revents & POLLIN) != 0) {
            ReceiveDatagram();
        }
        if ((watched[2].revents & POLLIN) != 0) {
            auto connection = std::make_unique<Connection>();
            connection->fd.Reset(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (connection->fd.IsOpen()) {
                m_connections.push_back(std::move(connection));
            }
        }
        // Connections accepted just now were not watched yet.
        std::size_t watchedConnections = watched.size() - 3;
        for (std::size_t i = 0, entry = 3; i < watchedConnections; ++entry) {
            if ((watched[entry].revents & (POLLIN | POLLHUP | POLLERR)) != 0 &&
                !ReadConnection(*m_connections[i])) {
                m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(i));
                --watchedConnections;
            } else {
                ++i;
            }
        }
    }
}

void CFakeUpstream::ReceiveDatagram() {
    Query query;
    query.bytes.resize(kReceiveSize);
    socklen_t fromLength = sizeof query.from;
    const ssize_t received = ::recvfrom(m_socket.Get(), query.bytes.data(), query.bytes.size(), 0,
                                        reinterpret_cast<sockaddr*>(&query.from), &fromLength);
    if (received < 0) {
        return;
    }
    query.bytes.resize(static_cast<std::size_t>(received));
    ++m_queriesSeen;
    m_behaviour(*this, query);
}

bool CFakeUpstream::ReadConnection(Connection& connection) {
    char chunk[kReceiveSize];
    const ssize_t received = ::recv(connection.fd.Get(), chunk, sizeof chunk, 0);
    if (received <= 0) {
        return false;
    }
    connection.received.append(chunk, static_cast<std::size_t>(received));
    const std::vector<Bytes> messages = Unframed(connection.received);
    for (const Bytes& message : messages) {
        connection.received.erase(0, 2 + message.size());
        Query query;
        query.bytes = message;
        query.connection = connection.fd.Get();
        ++m_queriesSeen;
        ++m_tcpQueriesSeen;
        m_behaviour(*this, query);
    }
    return true;
}

void CFakeUpstream::SendTo(const sockaddr_in& to, const Bytes& bytes) const {
    ::sendto(m_socket.Get(), bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof to);
}

void CFakeUpstream::Answer(const Query& query, const Bytes& bytes) const {
    if (query.connection < 0) {
        SendTo(query.from, bytes);
        return;
    }
    const std::string framed = Framed(bytes);
    ::send(query.connection, framed.data(), framed.size(), MSG_NOSIGNAL);
}

void CFakeUpstream::AnswerLater(const Query& query, const Bytes& bytes, int delayMs) {
    m_deferred.push_back({Clock::now() + std::chrono::milliseconds(delayMs), query, bytes});
}

int CFakeUpstream::SendDue() {
    const auto now = Clock::now();
    auto next = Clock::time_point::max();
    for (auto it = m_deferred.begin(); it != m_deferred.end();) {
        if (it->due <= now) {
            Answer(it->to, it->bytes);
            it = m_deferred.erase(it);
        } else {
            next = std::min(next, it->due);
            ++it;
        }
    }
    if (next == Clock::time_point::max()) {
        return -1;
    }
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count());
}

CFakeUpstreamGroup::CFakeUpstreamGroup(const std::vector<Member>& members) {
    for (int attempt = 0; attempt < kBindAttempts && m_servers.empty(); ++attempt) {
        std::vector<std::unique_ptr<CFakeUpstream>> servers;
        unsigned port = 0;
        for (const Member& member : members) {
            servers.push_back(
                std::make_unique<CFakeUpstream>(member.address, port, member.behaviour));
            if (!servers.back()->IsBound()) {
                break;
            }
            port = servers.back()->Port();
        }
        if (servers.size() == members.size() && servers.back()->IsBound()) {
            m_servers = std::move(servers);
        }
    }
}

CFakeUpstream::Behaviour Answering(std::uint8_t tag) {
    return [tag](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        server.Answer(query, UpstreamReply(query.bytes, tag));
    };
}

CFakeUpstream::Behaviour Silent() {
    return [](CFakeUpstream&, const CFakeUpstream::Query&) {};
}

CFakeUpstream::Behaviour AnsweringAfter(int delayMs, std::uint8_t tag) {
    return [delayMs, tag](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        server.AnswerLater(query, UpstreamReply(query.bytes, tag), delayMs);
    };
}

CFakeUpstream::Behaviour AnsweringOnceSeen(int count, std::uint8_t tag) {
    auto held = std::make_shared<std::vector<CFakeUpstream::Query>>();
    return [count, tag, held](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        held->push_back(query);
        if (static_cast<int>(held->size()) == count) {
            for (const CFakeUpstream::Query& waiting : *held) {
                server.Answer(waiting, UpstreamReply(waiting.bytes, tag));
            }
        }
    };
}

}  // namespace kit
