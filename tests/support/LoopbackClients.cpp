#include "tests/support/LoopbackClients.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace kit {
namespace {

sockaddr_in AddressOf(const char* dotted, unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, dotted, &address.sin_addr);
    return address;
}

bool AwaitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}

}  // namespace

CUdpClient::CUdpClient() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const sockaddr_in local = AddressOf("127.0.0.1", 0);
    ::bind(m_fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
}

void CUdpClient::Send(unsigned port, const Bytes& datagram, const char* host) const {
    const sockaddr_in to = AddressOf(host, port);
    ::sendto(m_fd.Get(), datagram.data(), datagram.size(), 0,
             reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

std::optional<Bytes> CUdpClient::Receive(int timeoutMs) const {
    if (!AwaitReadable(m_fd.Get(), timeoutMs)) {
        return std::nullopt;
    }
    Bytes datagram(65536);
    const ssize_t n = ::recv(m_fd.Get(), datagram.data(), datagram.size(), 0);
    if (n < 0) {
        return std::nullopt;
    }
    datagram.resize(static_cast<std::size_t>(n));
    return datagram;
}

std::optional<Bytes> CUdpClient::Ask(unsigned port, const Bytes& query, int timeoutMs) const {
    Send(port, query);
    return Receive(timeoutMs);
}

CTcpClient::CTcpClient(unsigned port, const TcpOptions& options)
    : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const int fd = m_fd.Get();
    if (options.receiveBuffer > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &options.receiveBuffer,
                     sizeof options.receiveBuffer);
    }
    if (options.maxSegment > 0) {
        ::setsockopt(fd, IPPROTO_TCP, TCP_MAXSEG, &options.maxSegment, sizeof options.maxSegment);
    }
    if (options.fromAddress != nullptr) {
        const sockaddr_in local = AddressOf(options.fromAddress, 0);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            return;
        }
    }
    const sockaddr_in server = AddressOf("127.0.0.1", port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_connected = true;
}

std::size_t CTcpClient::SendSome(std::string_view data) {
    const ssize_t sent = ::send(m_fd.Get(), data.data(), data.size(), MSG_NOSIGNAL);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

std::size_t CTcpClient::ReadAvailable(std::size_t limit) {
    std::size_t total = 0;
    char chunk[65536];
    while (!m_ended && total < limit) {
        const ssize_t n = ::recv(m_fd.Get(), chunk, std::min(sizeof chunk, limit - total), 0);
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

const std::string& CTcpClient::ReadToEnd(int timeoutMs) {
    while (!m_ended && AwaitReadable(m_fd.Get(), timeoutMs)) {
        ReadAvailable();
    }
    return m_received;
}

CHeldPort::CHeldPort(int type, unsigned port) : m_fd(::socket(AF_INET, type | SOCK_CLOEXEC, 0)) {
    sockaddr_in local = AddressOf("127.0.0.1", port);
    socklen_t length = sizeof local;
    if (::bind(m_fd.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
        (type != SOCK_STREAM || ::listen(m_fd.Get(), 1) == 0) &&
        ::getsockname(m_fd.Get(), reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        m_port = ntohs(local.sin_port);
    }
}

}  // namespace kit
