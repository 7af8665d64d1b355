#pragma once

#include <string>

// Which display server of the graphical session the program can reach, judged from
// DISPLAY and WAYLAND_DISPLAY by connecting to the server's socket. A variable left behind
// by a session that is gone (a service manager that imported it, say) names a server that
// does not answer; the program then runs headless instead of failing to open its window
// system.
enum class DisplayServer { kNone, kX11, kWayland };

struct GraphicalSession {
    DisplayServer reachable = DisplayServer::kNone;
    // Set when the environment names a display server that does not answer.
    std::string unreachable;
};

GraphicalSession FindGraphicalSession();
