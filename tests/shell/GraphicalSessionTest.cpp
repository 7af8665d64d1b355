#include "shell/GraphicalSession.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

class GraphicalSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Save("DISPLAY", m_display);
        Save("WAYLAND_DISPLAY", m_wayland);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        char pattern[] = "/tmp/session-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override {
        if (m_listener >= 0) {
            ::close(m_listener);
        }
        std::filesystem::remove_all(m_folder);
        Restore("DISPLAY", m_display);
        Restore("WAYLAND_DISPLAY", m_wayland);
    }

    // A server socket at `path` that takes connections.
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
    static void Save(const char* name, std::pair<bool, std::string>& saved) {
        const char* value = std::getenv(name);
        saved = {value != nullptr, value != nullptr ? value : ""};
    }
    static void Restore(const char* name, const std::pair<bool, std::string>& saved) {
        saved.first ? ::setenv(name, saved.second.c_str(), 1) : ::unsetenv(name);
    }

    std::pair<bool, std::string> m_display;
    std::pair<bool, std::string> m_wayland;
    int m_listener = -1;
};

TEST_F(GraphicalSessionTest, NoDisplayVariablesMeanHeadlessWithoutComplaint) {
    const GraphicalSession session = FindGraphicalSession();
    EXPECT_EQ(session.reachable, DisplayServer::kNone);
    EXPECT_TRUE(session.unreachable.empty());
}

TEST_F(GraphicalSessionTest, ServerThatAnswersIsFound) {
    Listen(m_folder + "/wayland-7");
    ::setenv("WAYLAND_DISPLAY", (m_folder + "/wayland-7").c_str(), 1);
    EXPECT_EQ(FindGraphicalSession().reachable, DisplayServer::kWayland);
}

TEST_F(GraphicalSessionTest, StaleVariablesAreNamedAndLeadToHeadless) {
    ::setenv("DISPLAY", ":4242", 1);
    ::setenv("WAYLAND_DISPLAY", (m_folder + "/gone").c_str(), 1);
    GraphicalSession session = FindGraphicalSession();
    EXPECT_EQ(session.reachable, DisplayServer::kNone);
    EXPECT_EQ(session.unreachable, "DISPLAY=:4242");

    ::setenv("DISPLAY", "not a display", 1);
    EXPECT_EQ(FindGraphicalSession().reachable, DisplayServer::kNone);
    ::unsetenv("DISPLAY");
    session = FindGraphicalSession();
    EXPECT_EQ(session.unreachable, "WAYLAND_DISPLAY=" + m_folder + "/gone");
}

}  // namespace
