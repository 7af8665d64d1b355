#include "shell/GraphicalSession.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

bool CanConnectUnix(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    // Without blocking: a local socket either takes the connection at once or not at all.
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// WAYLAND_DISPLAY is a socket path, or a name in $XDG_RUNTIME_DIR.
bool CanReachWayland(const std::string& name) {
    if (name.front() == '/') {
        return CanConnectUnix(name);
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && CanConnectUnix(std::string(runtime) + "/" + name);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

GraphicalSession FindGraphicalSession(const XDisplayProbe& canOpenX) {
    GraphicalSession session;
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    const std::string x11 = Variable("DISPLAY");
    if (!wayland.empty() && CanReachWayland(wayland)) {
        session.reachable = DisplayServer::kWayland;
    } else if (!x11.empty() && canOpenX(x11)) {
        session.reachable = DisplayServer::kX11;
    } else {
        const std::string waylandText = wayland.empty() ? "" : "WAYLAND_DISPLAY=" + wayland;
        const std::string x11Text = x11.empty() ? "" : "DISPLAY=" + x11;
        session.unreachable = waylandText + (wayland.empty() || x11.empty() ? "" : ", ") + x11Text;
    }
    return session;
}
