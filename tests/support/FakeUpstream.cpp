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
    : m_socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)), m_behaviour(std::move(behaviour)) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    int stop[2];
    if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::pipe2(stop, O_CLOEXEC) != 0) {
        return;
    }
    m_stopRead.Reset(stop[0]);
    m_stopWrite.Reset(stop[1]);
    socklen_t length = sizeof local;
    ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), &length);
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
    pollfd watched[2] = {{m_socket.Get(), POLLIN, 0}, {m_stopRead.Get(), POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, SendDue()) < 0 || (watched[1].revents & POLLIN) != 0) {
            return;
        }
        if ((watched[0].revents & POLLIN) == 0) {
            continue;
        }
        Query query;
        query.bytes.resize(kReceiveSize);
        socklen_t fromLength = sizeof query.from;
        const ssize_t received =
            ::recvfrom(m_socket.Get(), query.bytes.data(), query.bytes.size(), 0,
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
    ::sendto(m_socket.Get(), bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof to);
}

void CFakeUpstream::SendLater(const sockaddr_in& to, const Bytes& bytes, int delayMs) {
    m_deferred.push_back({Clock::now() + std::chrono::milliseconds(delayMs), to, bytes});
}

int CFakeUpstream::SendDue() {
    const auto now = Clock::now();
    auto next = Clock::time_point::max();
    for (auto it = m_deferred.begin(); it != m_deferred.end();) {
        if (it->due <= now) {
            SendTo(it->to, it->bytes);
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
        server.SendTo(query.from, UpstreamReply(query.bytes, tag));
    };
}

CFakeUpstream::Behaviour Silent() {
    return [](CFakeUpstream&, const CFakeUpstream::Query&) {};
}

CFakeUpstream::Behaviour AnsweringAfter(int delayMs, std::uint8_t tag) {
    return [delayMs, tag](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        server.SendLater(query.from, UpstreamReply(query.bytes, tag), delayMs);
    };
}

CFakeUpstream::Behaviour AnsweringOnceSeen(int count, std::uint8_t tag) {
    auto held = std::make_shared<std::vector<CFakeUpstream::Query>>();
    return [count, tag, held](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        held->push_back(query);
        if (static_cast<int>(held->size()) == count) {
            for (const CFakeUpstream::Query& waiting : *held) {
                server.SendTo(waiting.from, UpstreamReply(waiting.bytes, tag));
            }
        }
    };
}

}  // namespace kit
