#include "tests/net/NetTestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kDispatchSliceMs = 20;
constexpr int kMaxDispatchRounds = 500;
constexpr int kSettleRounds = 3;
}  // namespace

CLoopbackClient::CLoopbackClient(unsigned port)
    : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<std::uint16_t>(port));
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_connected =
        ::connect(m_fd.Get(), reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0;
}

void CLoopbackClient::SendText(const std::string& text) {
    ASSERT_EQ(::send(m_fd.Get(), text.data(), text.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(text.size()));
}

std::string CLoopbackClient::ReadAll() {
    std::string all;
    char chunk[4096];
    ssize_t count;
    while ((count = ::recv(m_fd.Get(), chunk, sizeof chunk, 0)) > 0) {
        all.append(chunk, static_cast<std::size_t>(count));
    }
    return all;
}

void CLoopbackClient::Abort() {
    linger hard{1, 0};
    ::setsockopt(m_fd.Get(), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    m_fd.Reset();
}

void NetTest::DispatchUntil(const std::function<bool()>& done) {
    for (int round = 0; round < kMaxDispatchRounds && !done(); ++round) {
        m_reactor.DispatchReady(kDispatchSliceMs);
    }
    ASSERT_TRUE(done());
}

void NetTest::DispatchPending() {
    for (int round = 0; round < kSettleRounds; ++round) {
        m_reactor.DispatchReady(0);
    }
    m_reactor.DispatchReady(kDispatchSliceMs);
}
