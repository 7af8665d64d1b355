#include "shell/qt/XDisplayProbe.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "shell/DesktopFactory.h"
#include "shell/HeadlessDesktop.h"

namespace {

using namespace std::chrono_literals;

// How the fake X server treats a client's set-up request.
enum class Setup { kAccepts, kRefuses, kNeverAnswers };

// An X server on display :N (the abstract socket X clients on Linux try first) that takes
// one client and answers its set-up as told.
class CFakeXServer {
public:
    explicit CFakeXServer(Setup setup) {
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        for (int number = 4700 + ::getpid() % 1000; number < 6000 && m_display.empty(); ++number) {
            const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path + 1, name.data(), name.size());
            const auto length =
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
            if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) == 0) {
                m_display = ":" + std::to_string(number);
            }
        }
        ::listen(m_listener, 1);
        m_thread = std::thread([this, setup] { Serve(setup); });
    }
    ~CFakeXServer() {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    const std::string& Display() const { return m_display; }

private:
    void Serve(Setup setup) const {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0) {
            return;
        }
        std::array<char, 256> request{};
        if (::read(client, request.data(), request.size()) > 0 && setup != Setup::kNeverAnswers) {
            // Status byte (0 failed, 1 success), reason length, protocol 11.0, then the
            // length of what follows in 4-byte units: a reason, or a set-up block.
            std::array<char, 40> reply{};
            reply = {
                setup == Setup::kAccepts ? '\1' : '\0', 4, 11, 0, 0, 0, 1, 0, 'n', 'o', 'p', 'e'};
            if (setup == Setup::kAccepts) {
                reply[1] = 0;
                reply[6] = 8;
            }
            ::write(client, reply.data(), setup == Setup::kAccepts ? 40 : 12);
        }
        char rest = 0;
        ::read(client, &rest, 1);  // until the client goes
        ::close(client);
    }

    int m_listener = -1;
    std::string m_display;
    std::thread m_thread;
};

struct ProbeCase {
    const char* label;
    Setup setup;
    bool opens;
};

class XDisplayProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(XDisplayProbeTest, OnlyAServerThatTakesTheClientIsADisplay) {
    CFakeXServer server(GetParam().setup);
    ASSERT_FALSE(server.Display().empty());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CanOpenXDisplay(server.Display(), 300ms), GetParam().opens);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

INSTANTIATE_TEST_SUITE_P(Servers, XDisplayProbeTest,
                         ::testing::Values(ProbeCase{"Accepts", Setup::kAccepts, true},
                                           ProbeCase{"Refuses", Setup::kRefuses, false},
                                           ProbeCase{"NeverAnswers", Setup::kNeverAnswers, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DesktopFactoryTest, DisplayThatRefusesTheClientMeansHeadlessAndOneLine) {
    CFakeXServer server(Setup::kRefuses);
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::setenv("DISPLAY", server.Display().c_str(), 1);
    int argc = 1;
    char name[] = "nimbrel";
    char* argv[] = {name, nullptr};
    testing::internal::CaptureStderr();
    const std::unique_ptr<IDesktop> desktop = MakeDesktop(argc, argv, "nimbrel");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "nimbrel: no display server answers at DISPLAY=" + server.Display() +
                  "; running without a tray icon\n");
    EXPECT_NE(dynamic_cast<CHeadlessDesktop*>(desktop.get()), nullptr);
    EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
    ::unsetenv("DISPLAY");
}

}  // namespace
