#include "net/AsyncSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>

#include <cerrno>

#include "net/Reactor.h"
#include "net/Sys.h"

namespace {

constexpr int kAllKinds = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
constexpr unsigned kMaxPort = 65535;

bool IsWouldBlock(int errnoValue) {
    return errnoValue == EAGAIN || errnoValue == EWOULDBLOCK;
}

// A stream read that came back short emptied the queue.
bool ShortStreamRead(int type, long result, int len, int flags) {
    return type == SOCK_STREAM && result >= 0 && result < len && (flags & MSG_PEEK) == 0;
}

int Fail(int errnoValue) {
    SetLastErrorFromErrno(errnoValue);
    return SOCKET_ERROR;
}

// The result of a system call as a success flag, recording the error of a failure.
bool Succeeded(int result) {
    if (result != 0) {
        SetLastErrorFromErrno(errno);
    }
    return result == 0;
}

}  // namespace

CAsyncSocket::CAsyncSocket() = default;

CAsyncSocket::~CAsyncSocket() {
    CAsyncSocket::Close();
}

bool CAsyncSocket::Create(unsigned port, int type, long events, const char* address) {
    if (m_fd.IsOpen() || port > kMaxPort || (type != SOCK_STREAM && type != SOCK_DGRAM)) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    if (CReactor::Current() == nullptr) {
        WSASetLastError(WSANOTINITIALISED);
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (address != nullptr && *address != '\0' && !sys::ParseIPv4(address, local.sin_addr)) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    CUniqueFd fd(sys::Socket(type));
    if (!fd.IsOpen() || (type == SOCK_STREAM && sys::SetReuseAddress(fd.Get()) != 0) ||
        sys::Bind(fd.Get(), local) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return Open(std::move(fd), type, false, events);
}

bool CAsyncSocket::CreateForReplies(long events) {
    if (m_fd.IsOpen()) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    CUniqueFd fd(sys::Socket(SOCK_DGRAM));
    if (!fd.IsOpen()) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return Open(std::move(fd), SOCK_DGRAM, false, events);
}

bool CAsyncSocket::Open(CUniqueFd fd, int type, bool connected, long events) {
    CReactor* reactor = CReactor::Current();
    std::uint64_t token = 0;
    if (reactor == nullptr) {
        WSASetLastError(WSANOTINITIALISED);
        return false;
    }
    // A datagram socket seldom lacks room to send; unless it asks to hear of room, the poller
    // need not report it after every datagram it sends.
    const bool withRoomToSend = type != SOCK_DGRAM || (events & FD_WRITE) != 0;
    if (!reactor->Register(*this, fd.Get(), token, withRoomToSend)) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    m_fd = std::move(fd);
    m_reactor = reactor;
    m_token = token;
    m_watchesRoomToSend = withRoomToSend;
    m_type = type;
    m_connected = connected;
    m_selected = events;
    m_enabled = kAllKinds;
    m_ready = 0;
    // Registering reports the current readiness through the poller; no check is needed.
    return true;
}

bool CAsyncSocket::AsyncSelect(long events) {
    if (!m_fd.IsOpen()) {
        SetLastErrorFromErrno(ENOTSOCK);
        return false;
    }
    m_selected = events;
    if ((events & FD_WRITE) != 0 && !m_watchesRoomToSend) {
        m_watchesRoomToSend = m_reactor->AddRoomToSend(m_fd.Get(), m_token);
    }
    // A close is reported once in a socket's life.
    int reenabled = kAllKinds & ~FD_CLOSE;
    if (events != 0) {
        Rearm(reenabled);
    } else {
        m_enabled |= reenabled;
    }
    return true;
}

void CAsyncSocket::Rearm(int kinds) {
    m_enabled |= kinds;
    m_reactor->ScheduleCheck(m_token);
}

bool CAsyncSocket::Accept(CAsyncSocket& connected) {
    if (!m_fd.IsOpen() || connected.m_fd.IsOpen() || &connected == this) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    sockaddr_in peer{};
    CUniqueFd fd;
    int error = 0;
    if (m_aheadTaken) {
        m_aheadTaken = false;
        fd = std::move(m_acceptedAhead);
        peer = m_aheadPeer;
        error = m_aheadError;
    } else {
        fd.Reset(sys::Accept(m_fd.Get(), peer));
        error = errno;
    }
    m_ready &= ~kFresh;
    if (!fd.IsOpen()) {
        if (IsWouldBlock(error)) {
            m_ready &= ~kReadable;
            m_enabled |= FD_ACCEPT;
        } else if (error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM) {
            // The connection stays queued; retrying before a descriptor is free would spin.
            m_reactor->HoldAcceptUntilDescriptorFree(m_token);
        } else {
            Rearm(FD_ACCEPT);
        }
        SetLastErrorFromErrno(error);
        return false;
    }
    bool opened = connected.Open(std::move(fd), SOCK_STREAM, true, m_selected);
    connected.m_peer = peer;
    connected.m_peerKnown = opened;
    Rearm(FD_ACCEPT);
    return opened;
}

bool CAsyncSocket::Connect(const sockaddr_in& to) {
    if (!m_fd.IsOpen() || m_type != SOCK_STREAM || m_connected || m_connecting) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    const int result = sys::Connect(m_fd.Get(), to);
    const int error = errno;
    if (result != 0 && error != EINPROGRESS) {
        SetLastErrorFromErrno(error);
        return false;
    }
    m_connecting = true;
    m_peer = to;
    m_peerKnown = true;
    // Readiness noted before the connect says nothing about it: the next edge does.
    m_ready &= ~(kWritable | kHangUp | kFailed);
    if (result == 0) {
        m_ready |= kWritable;
        m_reactor->ScheduleCheck(m_token);
        return true;
    }
    WSASetLastError(WSAEWOULDBLOCK);
    return false;
}

bool CAsyncSocket::Listen(int backlog) {
    return Succeeded(sys::Listen(m_fd.Get(), backlog));
}

bool CAsyncSocket::ShutDown(int how) {
    return Succeeded(sys::Shutdown(m_fd.Get(), how));
}

bool CAsyncSocket::SetSockOpt(int level, int name, const void* value, socklen_t size) {
    return Succeeded(sys::SetSocketOption(m_fd.Get(), level, name, value, size));
}

bool CAsyncSocket::GetPeerName(std::string& address, unsigned& port) const {
    sockaddr_in peer = m_peer;
    if (!m_peerKnown && sys::PeerAddress(m_fd.Get(), peer) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    char text[INET_ADDRSTRLEN];
    sys::FormatIPv4(peer.sin_addr, text, sizeof text);
    address = text;
    port = ntohs(peer.sin_port);
    return true;
}

void CAsyncSocket::Close() {
    if (!m_fd.IsOpen()) {
        return;
    }
    m_reactor->Unregister(m_token);
    m_fd.Reset();
    m_acceptedAhead.Reset();
    m_aheadTaken = false;
    m_reactor = nullptr;
    m_token = 0;
    m_selected = 0;
    m_enabled = 0;
    m_ready = 0;
    m_connected = false;
    m_connecting = false;
    m_peerKnown = false;
    m_watchesRoomToSend = false;
}

int CAsyncSocket::Receive(void* buf, int len, int flags) {
    if (len < 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    int systemFlags = m_type == SOCK_DGRAM ? flags | MSG_TRUNC : flags;
    ssize_t result = sys::Recv(m_fd.Get(), buf, static_cast<std::size_t>(len), systemFlags);
    int error = errno;
    NoteReceiveResult(result, ShortStreamRead(m_type, result, len, flags), flags, error);
    if (result < 0) {
        return Fail(error);
    }
    if (result > len) {
        return Fail(EMSGSIZE);
    }
    return static_cast<int>(result);
}

int CAsyncSocket::ReceiveFrom(void* buf, int len, std::string& address, unsigned& port, int flags) {
    sockaddr_in from{};
    const int result = ReceiveFrom(buf, len, from, flags);
    if (result != SOCKET_ERROR || WSAGetLastError() == EMSGSIZE) {
        char text[INET_ADDRSTRLEN];
        sys::FormatIPv4(from.sin_addr, text, sizeof text);
        address = text;
        port = ntohs(from.sin_port);
    }
    return result;
}

int CAsyncSocket::ReceiveFrom(void* buf, int len, sockaddr_in& from, int flags) {
    if (len < 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    int systemFlags = m_type == SOCK_DGRAM ? flags | MSG_TRUNC : flags;
    ssize_t result =
        sys::RecvFrom(m_fd.Get(), buf, static_cast<std::size_t>(len), systemFlags, from);
    int error = errno;
    NoteReceiveResult(result, ShortStreamRead(m_type, result, len, flags), flags, error);
    if (result < 0) {
        return Fail(error);
    }
    if (result > len) {
        return Fail(EMSGSIZE);
    }
    return static_cast<int>(result);
}

int CAsyncSocket::ReceiveBatch(mmsghdr* messages, unsigned count) {
    if (m_type != SOCK_DGRAM || count == 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    const int result = sys::RecvBatch(m_fd.Get(), messages, count, MSG_TRUNC | MSG_DONTWAIT);
    const int error = errno;
    // A batch that came back short ran into an empty queue.
    NoteReceiveResult(result, result >= 0 && static_cast<unsigned>(result) < count, 0, error);
    return result < 0 ? Fail(error) : result;
}

int CAsyncSocket::SendBatch(mmsghdr* messages, unsigned count, int flags) {
    const int result = sys::SendBatch(m_fd.Get(), messages, count, flags | MSG_NOSIGNAL);
    return NoteSendResult(result, errno);
}

void CAsyncSocket::NoteReceiveResult(long result, bool emptied, int flags, int error) {
    if (!m_fd.IsOpen()) {
        return;
    }
    constexpr int kReadKinds = FD_READ | FD_OOB;
    if ((flags & MSG_PEEK) == 0) {
        m_ready &= ~kFresh;
    }
    // Once the queue is known to be empty, later data brings its own edge.
    bool drained = (result < 0 && IsWouldBlock(error)) || (result >= 0 && emptied);
    if (drained) {
        m_ready &= ~kReadable;
        m_enabled |= kReadKinds;
    } else {
        Rearm(kReadKinds);
    }
}

int CAsyncSocket::Send(const void* buf, int len, int flags) {
    if (len < 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    ssize_t result =
        sys::Send(m_fd.Get(), buf, static_cast<std::size_t>(len), flags | MSG_NOSIGNAL);
    return NoteSendResult(result, errno);
}

int CAsyncSocket::SendTo(const void* buf, int len, unsigned port, const char* host, int flags) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    if (port > kMaxPort ||
        (host != nullptr && *host != '\0' && !sys::ParseIPv4(host, to.sin_addr))) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    return SendTo(buf, len, to, flags);
}

int CAsyncSocket::SendTo(const void* buf, int len, const sockaddr_in& to, int flags) {
    if (len < 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    ssize_t result =
        sys::SendTo(m_fd.Get(), buf, static_cast<std::size_t>(len), flags | MSG_NOSIGNAL, to);
    return NoteSendResult(result, errno);
}

int CAsyncSocket::NoteSendResult(long result, int error) {
    if (result >= 0) {
        return static_cast<int>(result);
    }
    if (IsWouldBlock(error) && m_fd.IsOpen()) {
        // No room: the poller's next write edge brings FD_WRITE.
        m_ready &= ~kWritable;
        m_enabled |= FD_WRITE;
    }
    return Fail(error);
}

unsigned CAsyncSocket::LocalPort() const {
    sockaddr_in local{};
    if (!m_fd.IsOpen() || sys::LocalAddress(m_fd.Get(), local) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

void CAsyncSocket::NoteReadiness(std::uint32_t readiness) {
    if ((readiness & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0) {
        m_ready &= ~kFresh;  // what is left to read is for the system call to tell
    } else if ((readiness & EPOLLIN) != 0) {
        m_ready |= kFresh;
    }
    if ((readiness & EPOLLIN) != 0) {
        m_ready |= kReadable;
    }
    if ((readiness & EPOLLOUT) != 0) {
        m_ready |= kWritable;
    }
    if ((readiness & EPOLLPRI) != 0) {
        m_ready |= kUrgent;
    }
    if ((readiness & (EPOLLRDHUP | EPOLLHUP)) != 0) {
        m_ready |= kHangUp;
    }
    if ((readiness & EPOLLERR) != 0) {
        // A pending error is something to read: the read reports it.
        m_ready |= kFailed | kReadable;
    }
}

void CAsyncSocket::DeliverIfDue(int kind) {
    if (kind == FD_CONNECT) {
        FinishConnectIfDue();
        return;
    }
    if ((m_selected & kind) == 0 || (m_enabled & kind) == 0) {
        return;
    }
    // Data, room to send and a close concern connections and datagram sockets; a stream
    // socket that is not connected (a listener) only accepts.
    bool carriesData = m_type == SOCK_DGRAM || m_connected;
    int errorCode = 0;
    switch (kind) {
        case FD_READ:
            if (!carriesData || (m_ready & kReadable) == 0 || !ReadNotificationDue(errorCode)) {
                return;
            }
            m_enabled &= ~FD_READ;
            OnReceive(errorCode);
            return;
        case FD_WRITE:
            if (!carriesData || (m_ready & kWritable) == 0) {
                return;
            }
            m_enabled &= ~FD_WRITE;
            OnSend(0);
            return;
        case FD_OOB:
            if ((m_ready & kUrgent) == 0) {
                return;
            }
            m_ready &= ~kUrgent;
            m_enabled &= ~FD_OOB;
            OnOutOfBandData(0);
            return;
        case FD_ACCEPT:
            if (carriesData || !AcceptNotificationDue()) {
                return;
            }
            m_enabled &= ~FD_ACCEPT;
            OnAccept(0);
            return;
        case FD_CLOSE:
            if (m_type != SOCK_STREAM || !m_connected || (m_ready & (kHangUp | kFailed)) == 0) {
                return;
            }
            if ((m_ready & kFailed) != 0 && sys::PendingError(m_fd.Get(), errorCode) == 0) {
                errorCode = SocketErrorFromErrno(errorCode);
            }
            m_enabled &= ~FD_CLOSE;
            OnClose(errorCode);
            return;
        default:
            return;
    }
}

bool CAsyncSocket::ReadNotificationDue(int& errorCode) {
    if ((m_ready & kFresh) != 0) {
        return true;
    }
    if (m_type == SOCK_DGRAM) {
        // FIONREAD cannot tell an empty datagram from none; a zero-length peek can.
        char unused;
        if (sys::Recv(m_fd.Get(), &unused, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT) >= 0) {
            return true;
        }
    } else {
        int waiting = 0;
        if (sys::BytesWaiting(m_fd.Get(), waiting) == 0) {
            if (waiting > 0) {
                return true;
            }
            m_ready &= ~kReadable;
            return false;
        }
    }
    if (IsWouldBlock(errno)) {
        m_ready &= ~(kReadable | kFailed);
        return false;
    }
    errorCode = SocketErrorFromErrno(errno);
    return true;
}

void CAsyncSocket::FinishConnectIfDue() {
    if (!m_connecting || (m_ready & (kWritable | kHangUp | kFailed)) == 0) {
        return;
    }
    int error = 0;
    if (sys::PendingError(m_fd.Get(), error) != 0) {
        error = errno;
    }
    m_connecting = false;
    m_connected = error == 0;
    if ((m_selected & FD_CONNECT) != 0) {
        OnConnect(error == 0 ? 0 : SocketErrorFromErrno(error));
    }
}

bool CAsyncSocket::AcceptNotificationDue() {
    if (m_aheadTaken) {
        return true;
    }
    if ((m_ready & kReadable) == 0) {
        return false;
    }
    if ((m_ready & kFresh) != 0) {
        return true;
    }
    // Whether a connection waits is found out by taking it: the handler's Accept then gets
    // it, or the error, without asking again.
    m_acceptedAhead.Reset(sys::Accept(m_fd.Get(), m_aheadPeer));
    m_aheadError = errno;
    if (!m_acceptedAhead.IsOpen() && IsWouldBlock(m_aheadError)) {
        m_ready &= ~kReadable;
        return false;
    }
    m_aheadTaken = true;
    return true;
}

void CAsyncSocket::OnReceive(int) {}
void CAsyncSocket::OnSend(int) {}
void CAsyncSocket::OnOutOfBandData(int) {}
void CAsyncSocket::OnAccept(int) {}
void CAsyncSocket::OnConnect(int) {}
void CAsyncSocket::OnClose(int) {}
