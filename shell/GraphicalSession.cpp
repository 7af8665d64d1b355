#include "shell/GraphicalSession.h"

#include <cstdlib>

#include "base/UniqueFd.h"
#include "net/Sys.h"

namespace {

bool CanConnectUnix(const std::string& path) {
    // Without blocking: a local socket either takes the connection at once or not at all.
    const CUniqueFd fd(sys::UnixSocket(true));
    return fd.IsOpen() && sys::ConnectUnix(fd.Get(), path) == 0;
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
