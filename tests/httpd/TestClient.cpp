#include "TestClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

sockaddr_in LoopbackAddress(const char* dotted, unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, dotted, &address.sin_addr);
    return address;
}

}  // namespace

TestClient::TestClient(unsigned port, const ClientOptions& options) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return;
    }
    if (options.receiveBuffer > 0) {
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &options.receiveBuffer,
                     sizeof options.receiveBuffer);
    }
    if (options.maxSegment > 0) {
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_MAXSEG, &options.maxSegment, sizeof options.maxSegment);
    }
    if (options.fromAddress != nullptr) {
        const sockaddr_in local = LoopbackAddress(options.fromAddress, 0);
        if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            return;
        }
    }
    const sockaddr_in server = LoopbackAddress("127.0.0.1", port);
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_connected = true;
}

TestClient::~TestClient() {
    Close();
}

std::size_t TestClient::SendSome(std::string_view data) {
    const ssize_t sent = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

std::size_t TestClient::ReadAvailable(std::size_t limit) {
    std::size_t total = 0;
    char chunk[65536];
    while (!m_ended && total < limit) {
        const std::size_t wanted = std::min(sizeof chunk, limit - total);
        const ssize_t n = ::recv(m_fd, chunk, wanted, 0);
        if (n > 0) {
            m_received.append(chunk, static_cast<std::size_t>(n));
            total += static_cast<std::size_t>(n);
        } else if (n == 0) {
            m_ended = true;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        } else if (errno != EINTR) {
            m_reset = errno == ECONNRESET;
            m_ended = true;
        }
    }
    return total;
}

void TestClient::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
