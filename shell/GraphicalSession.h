#pragma once

#include <functional>
#include <string>

// Which display server of the graphical session the program can use, judged from
// WAYLAND_DISPLAY and DISPLAY. A variable left behind by a session that is gone (a service
// manager that imported it, say), or a display that refuses this client (another user's,
// an expired cookie), gives no window system to open; the program then runs headless
// instead of failing inside its toolkit.
enum class DisplayServer { kNone, kX11, kWayland };

struct GraphicalSession {
    DisplayServer reachable = DisplayServer::kNone;
    // With no server reachable: the variables that named one, e.g. "DISPLAY=:0".
    std::string unreachable;
};

// Whether a client can open the X display named `display` (DISPLAY's value).
using XDisplayProbe = std::function<bool(const std::string& display)>;

// WAYLAND_DISPLAY first: the compositor's socket answers a connection. Then DISPLAY, as
// `canOpenX` judges it.
GraphicalSession FindGraphicalSession(const XDisplayProbe& canOpenX);
