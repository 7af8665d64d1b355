#include "shell/qt/XDisplayProbe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>

#include "base/UniqueFd.h"

namespace {

constexpr int kOpened = 0;
constexpr int kRefused = 1;

[[noreturn]] void ProbeInChild(const char* display) {
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) {
        ::dup2(quiet, STDERR_FILENO);
    }
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    ::_exit(xcb_connection_has_error(connection) == 0 ? kOpened : kRefused);
}

// Waits until the child ends (its end of `pipe` closes) or the time is up.
bool AwaitEnd(int pipe, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{pipe, POLLIN, 0};
        const int ready = ::poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready >= 0 || errno != EINTR) {
            return ready == 1;
        }
    }
}

}  // namespace

bool CanOpenXDisplay(const std::string& display, std::chrono::milliseconds timeout) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return false;
    }
    CUniqueFd readEnd(ends[0]);
    CUniqueFd writeEnd(ends[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        readEnd.Reset();
        ProbeInChild(display.c_str());
    }
    writeEnd.Reset();
    const bool ended = child > 0 && AwaitEnd(readEnd.Get(), timeout);
    readEnd.Reset();
    if (child < 0) {
        return false;
    }
    if (!ended) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == kOpened;
}
