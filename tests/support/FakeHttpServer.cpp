#include "tests/support/FakeHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace kit {
namespace {

constexpr std::size_t kMaxHeadBytes = 16384;

bool SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;  // the client has gone
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadHead(int fd) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHeadBytes) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    return head;
}

}  // namespace

CFakeHttpServer::CFakeHttpServer(Behaviour behaviour)
    : m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
      m_behaviour(std::move(behaviour)) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(m_listener.Get(), 8) != 0) {
        return;
    }
    socklen_t length = sizeof local;
    ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ntohs(local.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CFakeHttpServer::~CFakeHttpServer() {
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        ::shutdown(m_listener.Get(), SHUT_RDWR);  // the waiting accept fails
        m_thread.join();
    }
}

std::string CFakeHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> CFakeHttpServer::Requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void CFakeHttpServer::Serve() {
    for (;;) {
        const CUniqueFd connection(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.IsOpen()) {
            const std::lock_guard lock(m_mutex);
            if (m_stopping) {
                return;
            }
            continue;
        }
        const std::string head = ReadHead(connection.Get());
        {
            const std::lock_guard lock(m_mutex);
            m_requests.push_back(head);
        }
        Answer(connection.Get(), head);
    }
}

void CFakeHttpServer::Answer(int connection, const std::string& head) {
    const Response response = m_behaviour(head);
    std::string start = "HTTP/1.1 " + std::to_string(response.status) + " Status\r\n" +
                        response.headers + "Connection: close\r\n";
    if (response.repeat == 0) {
        start += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    }
    start += "\r\n";
    if (!SendAll(connection, start)) {
        return;
    }
    if (response.hold) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopping; });
        return;
    }
    for (std::size_t sent = 0; sent < std::max<std::size_t>(response.repeat, 1); ++sent) {
        if (!SendAll(connection, response.body)) {
            return;
        }
    }
}

}  // namespace kit
