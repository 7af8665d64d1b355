#include "shell/GraphicalSession.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

struct SessionCase {
    const char* wayland;  // "live": a socket that takes connections; "gone": none there
    const char* display;
    bool xOpens;
    DisplayServer reachable;
    const char* unreachable;  // with "@" standing for the test's folder
};

class GraphicalSessionTest : public ::testing::TestWithParam<SessionCase> {
protected:
    void SetUp() override {
        for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(
                name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        char pattern[] = "/tmp/session-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override {
        if (m_listener >= 0) {
            ::close(m_listener);
        }
        std::filesystem::remove_all(m_folder);
        for (const auto& [name, value] : m_saved) {
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
    }

    // A compositor's socket at `path` that takes connections.
    void Listen(const std::string& path) {
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size());
        ASSERT_EQ(::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(m_listener, 1), 0);
    }

    std::string m_folder;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
    int m_listener = -1;
};

TEST_P(GraphicalSessionTest, WaylandFirstThenAnXDisplayThatTakesTheClient) {
    const SessionCase& c = GetParam();
    if (c.wayland != nullptr) {
        const std::string path = m_folder + "/" + c.wayland;
        if (std::string(c.wayland) == "live") {
            Listen(path);
        }
        ::setenv("WAYLAND_DISPLAY", path.c_str(), 1);
    }
    if (c.display != nullptr) {
        ::setenv("DISPLAY", c.display, 1);
    }
    int xProbes = 0;
    const GraphicalSession session = FindGraphicalSession([&](const std::string& display) {
        ++xProbes;
        EXPECT_EQ(display, c.display);
        return c.xOpens;
    });
    EXPECT_EQ(session.reachable, c.reachable);
    std::string unreachable = c.unreachable;
    if (const std::size_t at = unreachable.find('@'); at != std::string::npos) {
        unreachable.replace(at, 1, m_folder);
    }
    EXPECT_EQ(session.unreachable, unreachable);
    EXPECT_EQ(xProbes, c.display != nullptr && c.reachable != DisplayServer::kWayland ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, GraphicalSessionTest,
    ::testing::Values(SessionCase{nullptr, nullptr, true, DisplayServer::kNone, ""},
                      SessionCase{"live", ":0", true, DisplayServer::kWayland, ""},
                      SessionCase{"gone", ":0", true, DisplayServer::kX11, ""},
                      SessionCase{"gone", ":0", false, DisplayServer::kNone,
                                  "WAYLAND_DISPLAY=@/gone, DISPLAY=:0"},
                      SessionCase{nullptr, ":0", false, DisplayServer::kNone, "DISPLAY=:0"}));

}  // namespace
