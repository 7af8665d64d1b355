#pragma once

#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Thin wrappers over the system calls of the socket layer; the only code that names them.
// Each returns what its call returns (-1 with errno set on failure) and retries when a signal
// interrupts it, except where waiting is the point (EpollWait, PollReadable).
namespace sys {

int Socket(int type);  // AF_INET, non-blocking, close-on-exec
int SetReuseAddress(int fd);
int Bind(int fd, const sockaddr_in& address);
int Listen(int fd, int backlog);
// Starts connecting a non-blocking stream socket; -1 with EINPROGRESS while it goes on.
int Connect(int fd, const sockaddr_in& to);
int SetSocketOption(int fd, int level, int name, const void* value, socklen_t size);
// The new socket is non-blocking and close-on-exec; `peer` receives its peer's address.
int Accept(int fd, sockaddr_in& peer);
int PeerAddress(int fd, sockaddr_in& address);
ssize_t Recv(int fd, void* buf, std::size_t len, int flags);
ssize_t Send(int fd, const void* buf, std::size_t len, int flags);
ssize_t RecvFrom(int fd, void* buf, std::size_t len, int flags, sockaddr_in& from);
ssize_t SendTo(int fd, const void* buf, std::size_t len, int flags, const sockaddr_in& to);
// Several datagrams in one call (recvmmsg, sendmmsg): the count received or sent, -1 when the
// first one failed. Each message's address, if any, is a sockaddr_in.
int RecvBatch(int fd, mmsghdr* messages, unsigned count, int flags);
int SendBatch(int fd, mmsghdr* messages, unsigned count, int flags);
int BytesWaiting(int fd, int& count);  // FIONREAD
// Bytes of a stream socket's send queue that the peer has not acknowledged yet, sent or not
// (SIOCOUTQ): it shrinks while the peer reads.
int BytesUnacknowledged(int fd, int& count);
int PendingError(int fd, int& error);  // SO_ERROR, which it also clears
int LocalAddress(int fd, sockaddr_in& address);
// 1 when `fd` has something to read, 0 on time-out; an interrupted wait goes on for the rest.
int PollReadable(int fd, int timeoutMs);

// Dotted IPv4 text to an address; false when it does not parse.
bool ParseIPv4(const char* text, in_addr& address);
// Dotted text of an address.
void FormatIPv4(const in_addr& address, char* text, std::size_t size);

int EpollCreate();
int EpollAdd(int epfd, int fd, std::uint32_t events, std::uint64_t token);
int EpollModify(int epfd, int fd, std::uint32_t events, std::uint64_t token);
int EpollRemove(int epfd, int fd);
int EpollWait(int epfd, epoll_event* events, int maxEvents, int timeoutMs);

// Unix-domain stream sockets, close-on-exec; a path too long for an address fails with
// ENAMETOOLONG.
int UnixSocket(bool nonBlocking);
int BindUnix(int fd, const std::string& path);
int ConnectUnix(int fd, const std::string& path);
int AcceptUnix(int fd);  // the new socket is non-blocking
// The user id of the process at the other end of a Unix-domain socket.
int PeerUid(int fd, uid_t& uid);
// Sends on `fd` give up after `seconds` instead of blocking for ever.
int SetSendTimeout(int fd, int seconds);

int Pipe(int fds[2]);  // non-blocking, close-on-exec
// A connected pair of Unix-domain stream sockets, non-blocking, close-on-exec.
int StreamPair(int fds[2]);
int Shutdown(int fd, int how);
// Raises the soft limit on open descriptors to the hard limit.
int RaiseDescriptorLimit();

// A non-blocking, close-on-exec timerfd on the monotonic clock.
int TimerCreate();
// Arms the timer to fire at `atNs` on the monotonic clock (a time already past fires at once).
int TimerArmAt(int fd, std::int64_t atNs);
// Consumes the expirations the timer has counted.
void TimerClear(int fd);
std::int64_t MonotonicNs();
ssize_t Read(int fd, void* buf, std::size_t len);
ssize_t Write(int fd, const void* buf, std::size_t len);
// Routes `signo` to `handler`; no flags other than SA_RESTART.
int InstallSignalHandler(int signo, void (*handler)(int));
int RestoreDefaultSignal(int signo);

}  // namespace sys
