#include "shell/qt/XDisplayProbe.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Replies to a client's set-up request: status (1 success, 0 failed), reason length,
// protocol 11.0, length of the rest in 4-byte units, then a set-up block or a reason.
const std::string kAccepted = std::string("\1\0\13\0\0\0\10\0", 8) + std::string(32, '\0');
const std::string kRefused = std::string("\0\4\13\0\0\0\1\0nope", 12);

// A fake X server on display :N (the abstract socket X clients on Linux try first) takes
// one client and answers its set-up with `reply`, or never answers (null).
TEST(XDisplayProbeTest, OnlyAServerThatTakesTheClientIsADisplay) {
    for (const auto& [reply, opens] :
         {std::pair{&kAccepted, true}, {&kRefused, false}, {nullptr, false}}) {
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        std::string display;
        for (int number = 4700 + ::getpid() % 1000; display.empty(); ++number) {
            const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
            sockaddr_un address{AF_UNIX, {}};
            std::memcpy(address.sun_path + 1, name.data(), name.size());
            if (::bind(listener, reinterpret_cast<sockaddr*>(&address),
                       offsetof(sockaddr_un, sun_path) + 1 + name.size()) == 0) {
                display = ":" + std::to_string(number);
            }
        }
        ASSERT_EQ(::listen(listener, 1), 0);
        std::thread server([listener, reply = reply] {
            const int client = ::accept(listener, nullptr, nullptr);
            char request[256];
            if (::read(client, request, sizeof request) > 0 && reply != nullptr) {
                EXPECT_EQ(::write(client, reply->data(), reply->size()), ssize_t(reply->size()));
            }
            ::read(client, request, sizeof request);  // until the client goes
            ::close(client);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CanOpenXDisplay(display, 300ms), opens);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        server.join();
        ::close(listener);
    }
}

// A probe that cannot even start (no descriptor to spare) reaches no display.
TEST(XDisplayProbeTest, WithoutADescriptorToSpareNoDisplayIsReached) {
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit none{0, saved.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &none);
    const bool opened = CanOpenXDisplay(":0", 300ms);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(opened);
}

}  // namespace
