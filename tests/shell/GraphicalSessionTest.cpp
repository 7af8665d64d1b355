#include "shell/GraphicalSession.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct SessionCase {
    bool waylandAnswers;  // WAYLAND_DISPLAY names a socket that takes connections, or none
    const char* display;  // DISPLAY, or unset
    bool xOpens;
    DisplayServer reachable;
    const char* unreachable;
};

class GraphicalSessionTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(GraphicalSessionTest, WaylandFirstThenAnXDisplayThatTakesTheClient) {
    const SessionCase& c = GetParam();
    const std::string wayland = "/tmp/session-test-" + std::to_string(::getpid());
    const int compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::memcpy(address.sun_path, wayland.c_str(), wayland.size());
    if (c.waylandAnswers) {
        ASSERT_EQ(::bind(compositor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(compositor, 1), 0);
    }
    ::setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    c.display != nullptr ? ::setenv("DISPLAY", c.display, 1) : ::unsetenv("DISPLAY");

    int xProbes = 0;
    const GraphicalSession session = FindGraphicalSession([&](const std::string& display) {
        ++xProbes;
        EXPECT_EQ(display, c.display);
        return c.xOpens;
    });
    ::close(compositor);
    ::unlink(wayland.c_str());
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("DISPLAY");
    EXPECT_EQ(session.reachable, c.reachable);
    std::string unreachable = c.unreachable;
    if (const std::size_t at = unreachable.find('@'); at != std::string::npos) {
        unreachable.replace(at, 1, wayland);
    }
    EXPECT_EQ(session.unreachable, unreachable);
    EXPECT_EQ(xProbes, c.display != nullptr && !c.waylandAnswers ? 1 : 0);
}

// "@" in the expected text stands for the Wayland socket's path.
INSTANTIATE_TEST_SUITE_P(Sessions, GraphicalSessionTest,
                         ::testing::Values(SessionCase{true, ":0", true, DisplayServer::kWayland,
                                                       ""},
                                           SessionCase{false, ":0", true, DisplayServer::kX11, ""},
                                           SessionCase{false, ":0", false, DisplayServer::kNone,
                                                       "WAYLAND_DISPLAY=@, DISPLAY=:0"},
                                           SessionCase{false, nullptr, true, DisplayServer::kNone,
                                                       "WAYLAND_DISPLAY=@"}));

}  // namespace
