#include "net/Sys.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>

namespace sys {
namespace {

template <class Call>
auto RetryOnInterrupt(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

const sockaddr* AsSockaddr(const sockaddr_in& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

sockaddr* AsSockaddr(sockaddr_in& address) {
    return reinterpret_cast<sockaddr*>(&address);
}

}  // namespace

int Socket(int type) {
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

int SetReuseAddress(int fd) {
    const int on = 1;
    return SetSocketOption(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

int Bind(int fd, const sockaddr_in& address) {
    return ::bind(fd, AsSockaddr(address), sizeof address);
}

int Listen(int fd, int backlog) {
    return ::listen(fd, backlog);
}

int Connect(int fd, const sockaddr_in& to) {
    // An interrupted connect goes on by itself: it is then as good as in progress.
    const int result = ::connect(fd, AsSockaddr(to), sizeof to);
    if (result != 0 && errno == EINTR) {
        errno = EINPROGRESS;
    }
    return result;
}

int SetSocketOption(int fd, int level, int name, const void* value, socklen_t size) {
    return ::setsockopt(fd, level, name, value, size);
}

int Accept(int fd, sockaddr_in& peer) {
    return RetryOnInterrupt([&] {
        socklen_t size = sizeof peer;
        return ::accept4(fd, AsSockaddr(peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
    });
}

int PeerAddress(int fd, sockaddr_in& address) {
    socklen_t size = sizeof address;
    return ::getpeername(fd, AsSockaddr(address), &size);
}

ssize_t Recv(int fd, void* buf, std::size_t len, int flags) {
    return RetryOnInterrupt([&] { return ::recv(fd, buf, len, flags); });
}

ssize_t Send(int fd, const void* buf, std::size_t len, int flags) {
    return RetryOnInterrupt([&] { return ::send(fd, buf, len, flags); });
}

ssize_t RecvFrom(int fd, void* buf, std::size_t len, int flags, sockaddr_in& from) {
    return RetryOnInterrupt([&] {
        socklen_t size = sizeof from;
        return ::recvfrom(fd, buf, len, flags, reinterpret_cast<sockaddr*>(&from), &size);
    });
}

ssize_t SendTo(int fd, const void* buf, std::size_t len, int flags, const sockaddr_in& to) {
    return RetryOnInterrupt(
        [&] { return ::sendto(fd, buf, len, flags, AsSockaddr(to), sizeof to); });
}

int RecvBatch(int fd, mmsghdr* messages, unsigned count, int flags) {
    return RetryOnInterrupt([&] { return ::recvmmsg(fd, messages, count, flags, nullptr); });
}

int SendBatch(int fd, mmsghdr* messages, unsigned count, int flags) {
    return RetryOnInterrupt([&] { return ::sendmmsg(fd, messages, count, flags); });
}

int BytesWaiting(int fd, int& count) {
    return ::ioctl(fd, FIONREAD, &count);
}

int BytesUnacknowledged(int fd, int& count) {
    return ::ioctl(fd, SIOCOUTQ, &count);
}

int PendingError(int fd, int& error) {
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
}

int LocalAddress(int fd, sockaddr_in& address) {
    socklen_t size = sizeof address;
    return ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
}

int PollReadable(int fd, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd entry{fd, POLLIN, 0};
    for (;;) {
        int result = ::poll(&entry, 1, timeoutMs);
        if (result != -1 || errno != EINTR) {
            return result;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        timeoutMs = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
}

bool ParseIPv4(const char* text, in_addr& address) {
    return ::inet_pton(AF_INET, text, &address) == 1;
}

void FormatIPv4(const in_addr& address, char* text, std::size_t size) {
    ::inet_ntop(AF_INET, &address, text, static_cast<socklen_t>(size));
}

int EpollCreate() {
    return ::epoll_create1(EPOLL_CLOEXEC);
}

int EpollAdd(int epfd, int fd, std::uint32_t events, std::uint64_t token) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = token;
    return ::epoll_ctl(epfd, EPOLL_CTL_ADD, fd, &event);
}

int EpollModify(int epfd, int fd, std::uint32_t events, std::uint64_t token) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = token;
    return ::epoll_ctl(epfd, EPOLL_CTL_MOD, fd, &event);
}

int EpollRemove(int epfd, int fd) {
    return ::epoll_ctl(epfd, EPOLL_CTL_DEL, fd, nullptr);
}

int EpollWait(int epfd, epoll_event* events, int maxEvents, int timeoutMs) {
    return ::epoll_wait(epfd, events, maxEvents, timeoutMs);
}

int Pipe(int fds[2]) {
    return ::pipe2(fds, O_NONBLOCK | O_CLOEXEC);
}

namespace {

bool FillUnixAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

}  // namespace

int UnixSocket(bool nonBlocking) {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
}

int BindUnix(int fd, const std::string& path) {
    sockaddr_un address{};
    if (!FillUnixAddress(path, address)) {
        return -1;
    }
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int ConnectUnix(int fd, const std::string& path) {
    sockaddr_un address{};
    if (!FillUnixAddress(path, address)) {
        return -1;
    }
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int AcceptUnix(int fd) {
    return RetryOnInterrupt(
        [&] { return ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC); });
}

int PeerUid(int fd, uid_t& uid) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        return -1;
    }
    uid = peer.uid;
    return 0;
}

int SetSendTimeout(int fd, int seconds) {
    const timeval timeout{seconds, 0};
    return SetSocketOption(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

int StreamPair(int fds[2]) {
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds);
}

int Shutdown(int fd, int how) {
    return ::shutdown(fd, how);
}

int RaiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return -1;
    }
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit);
}

int TimerCreate() {
    return ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
}

int TimerArmAt(int fd, std::int64_t atNs) {
    constexpr std::int64_t kNsPerSecond = 1000000000;
    itimerspec when{};
    // An all-zero time would disarm the timer instead.
    const std::int64_t ns = atNs > 0 ? atNs : 1;
    when.it_value.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
    when.it_value.tv_nsec = static_cast<long>(ns % kNsPerSecond);
    return ::timerfd_settime(fd, TFD_TIMER_ABSTIME, &when, nullptr);
}

void TimerClear(int fd) {
    std::uint64_t expirations = 0;
    [[maybe_unused]] const ssize_t n = Read(fd, &expirations, sizeof expirations);
}

std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

ssize_t Read(int fd, void* buf, std::size_t len) {
    return RetryOnInterrupt([&] { return ::read(fd, buf, len); });
}

ssize_t Write(int fd, const void* buf, std::size_t len) {
    return RetryOnInterrupt([&] { return ::write(fd, buf, len); });
}

int InstallSignalHandler(int signo, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signo, &action, nullptr);
}

int RestoreDefaultSignal(int signo) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    return ::sigaction(signo, &action, nullptr);
}

}  // namespace sys
