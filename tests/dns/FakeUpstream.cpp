#include "FakeUpstream.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace dnstest {

namespace {

constexpr std::size_t kReceiveSize = 4096;
constexpr int kBindAttempts = 20;

}  // namespace

CFakeUpstream::CFakeUpstream(const std::string& address, unsigned port, Behaviour behaviour)
    : m_address(address), m_behaviour(std::move(behaviour)) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::pipe(m_stopPipe) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    socklen_t length = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ntohs(local.sin_port);
    m_fd = fd;
    m_thread = std::thread([this] { Serve(); });
}

CFakeUpstream::~CFakeUpstream() {
    if (m_thread.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &stop, 1);
        m_thread.join();
    }
    for (const int fd : {m_fd, m_stopPipe[0], m_stopPipe[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void CFakeUpstream::Serve() {
    pollfd watched[2] = {{m_fd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, -1) < 0 || (watched[1].revents & POLLIN) != 0) {
            return;
        }
        Query query;
        query.bytes.resize(kReceiveSize);
        socklen_t fromLength = sizeof query.from;
        const ssize_t received = ::recvfrom(m_fd, query.bytes.data(), query.bytes.size(), 0,
                                            reinterpret_cast<sockaddr*>(&query.from), &fromLength);
        if (received < 0) {
            continue;
        }
        query.bytes.resize(static_cast<std::size_t>(received));
        ++m_queriesSeen;
        m_behaviour(*this, query);
    }
}

void CFakeUpstream::SendTo(const sockaddr_in& to, const Bytes& bytes) const {
    ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof to);
}

Bytes CFakeUpstream::ReplyTo(const Bytes& query, std::uint8_t tag) {
    Bytes reply = query;
    if (reply.size() >= 4) {
        reply[2] = 0x81;
        reply[3] = 0x80;
    }
    reply.push_back(0xFA);
    reply.push_back(tag);
    return reply;
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
        server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, tag));
    };
}

CFakeUpstream::Behaviour Silent() {
    return [](CFakeUpstream&, const CFakeUpstream::Query&) {};
}

CFakeUpstream::Behaviour AnsweringAfter(int delayMs, std::uint8_t tag) {
    return [delayMs, tag](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, tag));
    };
}

CFakeUpstream::Behaviour SendsFirst(std::function<Bytes(const Bytes& query)> first,
                                    std::uint8_t tag, bool thenAnswers) {
    return [first = std::move(first), tag, thenAnswers](CFakeUpstream& server,
                                                        const CFakeUpstream::Query& query) {
        server.SendTo(query.from, first(query.bytes));
        if (thenAnswers) {
            server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, tag));
        }
    };
}

}  // namespace dnstest
