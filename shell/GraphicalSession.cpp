#include "shell/GraphicalSession.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kX11TcpBasePort = 6000;

bool ConnectWithin(int fd, const sockaddr* address, socklen_t length) {
    if (::connect(fd, address, length) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    pollfd entry{fd, POLLOUT, 0};
    int error = 0;
    socklen_t errorLength = sizeof error;
    return ::poll(&entry, 1, kConnectTimeoutMs) == 1 &&
           ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &errorLength) == 0 && error == 0;
}

// `abstract`: the name lives in the abstract namespace (a leading NUL byte), as X servers
// on Linux also offer.
bool CanConnectUnix(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + 1);
    const bool connected = fd >= 0 && ConnectWithin(fd, reinterpret_cast<sockaddr*>(&address),
                                                    abstract ? length - 1 : length);
    if (fd >= 0) {
        ::close(fd);
    }
    return connected;
}

bool CanConnectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return false;
    }
    bool connected = false;
    for (const addrinfo* item = found; item != nullptr && !connected; item = item->ai_next) {
        const int fd = ::socket(item->ai_family, item->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                item->ai_protocol);
        if (fd >= 0) {
            connected = ConnectWithin(fd, item->ai_addr, item->ai_addrlen);
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    return connected;
}

// DISPLAY is [host]:number[.screen]; no host (or "unix") means the local socket.
bool CanReachX11(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string host = display.substr(0, colon);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + number;
        return CanConnectUnix(socket, true) || CanConnectUnix(socket, false);
    }
    return CanConnectTcp(host, kX11TcpBasePort + std::atoi(number.c_str()));
}

// WAYLAND_DISPLAY is a socket path, or a name in $XDG_RUNTIME_DIR.
bool CanReachWayland(const std::string& name) {
    if (name.front() == '/') {
        return CanConnectUnix(name, false);
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && CanConnectUnix(std::string(runtime) + "/" + name, false);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

GraphicalSession FindGraphicalSession() {
    GraphicalSession session;
    const std::string x11 = Variable("DISPLAY");
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    if (!x11.empty() && CanReachX11(x11)) {
        session.reachable = DisplayServer::kX11;
    } else if (!wayland.empty() && CanReachWayland(wayland)) {
        session.reachable = DisplayServer::kWayland;
    } else if (!x11.empty()) {
        session.unreachable = "DISPLAY=" + x11;
    } else if (!wayland.empty()) {
        session.unreachable = "WAYLAND_DISPLAY=" + wayland;
    }
    return session;
}
