#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

#include "base/UniqueFd.h"
#include "net/ReadinessTarget.h"
#include "net/SocketErrors.h"

class CReactor;

// One non-blocking IPv4 socket whose readiness arrives as virtual notifications on the
// thread that owns the current CReactor (which must exist before Create).
//
// Notifications follow select-by-message rules: after a notification, the same kind comes
// again only after its matching call (Receive/ReceiveFrom re-arm FD_READ and FD_OOB, a Send
// or SendTo failing with WSAEWOULDBLOCK re-arms FD_WRITE, Accept re-arms FD_ACCEPT); a read
// that leaves data waiting is followed by another FD_READ; AsyncSelect re-checks every
// selected condition. Notifications are delivered from CReactor::DispatchReady, never from
// inside a call of this class. A handler may delete its own object as its last action;
// nothing more is delivered to a closed socket, whatever was already pending.
//
// A stream socket made by Create connects with Connect; FD_CONNECT then reports the
// outcome once, with 0 or the error code, whether the connection was made at once or later.
//
// Failures return false or SOCKET_ERROR with the code in WSAGetLastError().
class CAsyncSocket : private IReadinessTarget {
public:
    CAsyncSocket();
    virtual ~CAsyncSocket();

    CAsyncSocket(const CAsyncSocket&) = delete;
    CAsyncSocket& operator=(const CAsyncSocket&) = delete;

    // Opens an AF_INET socket, selects `events` and binds it to address:port (no address or
    // an empty one: all interfaces). Stream sockets set SO_REUSEADDR, datagram sockets do
    // not, so a port held by another socket fails with EADDRINUSE. On failure the object
    // stays unopened.
    bool Create(unsigned port = 0, int type = SOCK_STREAM,
                long events = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE,
                const char* address = nullptr);

    // Opens an AF_INET datagram socket that takes a free port on all interfaces at its first
    // send, as Create(0, SOCK_DGRAM, events) would at once, one system call sooner: for a
    // socket that only hears back from where it sent.
    bool CreateForReplies(long events);

    // Replaces the selected notifications (0 stops them all) and re-checks them at once.
    bool AsyncSelect(long events);

    // Accepts one waiting connection into `connected`, which must be unopened; the new
    // socket starts with this socket's selected events. On failure `connected` stays
    // unopened. A failure for lack of descriptors or memory holds FD_ACCEPT back until a
    // socket of this thread closes or AsyncSelect is called, so a full process does not
    // spin on its listener.
    virtual bool Accept(CAsyncSocket& connected);

    // Connects a stream socket made by Create (never listening) to address:port without
    // waiting. True when the connection was made at once; false with WSAEWOULDBLOCK while
    // it is being made, or with the error of a connect that failed at once. Either way the
    // socket carries data only once FD_CONNECT has reported success.
    bool Connect(const sockaddr_in& to);

    // Starts listening for connections with a queue of `backlog`.
    bool Listen(int backlog);
    // Shuts down receiving, sending or both (SHUT_RD, SHUT_WR, SHUT_RDWR).
    bool ShutDown(int how);
    bool SetSockOpt(int level, int name, const void* value, socklen_t size);

    // Closes the socket; does nothing when it is not open.
    virtual void Close();

    // Stream: bytes read, 0 when the peer has closed. Datagram: one datagram; one longer
    // than `len` is consumed and fails with EMSGSIZE.
    virtual int Receive(void* buf, int len, int flags = 0);
    // May send fewer bytes than offered. Never raises SIGPIPE.
    virtual int Send(const void* buf, int len, int flags = 0);

    // One datagram, with its sender as a dotted address and a host-order port.
    int ReceiveFrom(void* buf, int len, std::string& address, unsigned& port, int flags = 0);
    int ReceiveFrom(void* buf, int len, sockaddr_in& from, int flags = 0);
    // `host`: a dotted IPv4 address (anything else fails with WSAEINVAL: no name is ever
    // looked up here); no host or an empty one sends to the broadcast address.
    int SendTo(const void* buf, int len, unsigned port, const char* host, int flags = 0);
    int SendTo(const void* buf, int len, const sockaddr_in& to, int flags = 0);

    // Datagram sockets: up to `count` datagrams at once, each with its sender in the message's
    // address (a sockaddr_in) and its full length in msg_len (one longer than its buffer is
    // consumed and flagged MSG_TRUNC). Returns how many arrived; fewer than `count` means none
    // was left waiting, so FD_READ comes again only when more arrives. Fails with
    // WSAEWOULDBLOCK when none waited.
    int ReceiveBatch(mmsghdr* messages, unsigned count);
    // Sends the messages in order until one fails; returns how many went out. Never raises
    // SIGPIPE.
    int SendBatch(mmsghdr* messages, unsigned count, int flags = 0);

    // The peer of a connection as a dotted address and a host-order port. A connection made
    // by Accept knows it from then on; any other asks the system.
    bool GetPeerName(std::string& address, unsigned& port) const;

    int Handle() const { return m_fd.Get(); }
    unsigned LocalPort() const;

protected:
    virtual void OnReceive(int errorCode);
    virtual void OnSend(int errorCode);
    virtual void OnOutOfBandData(int errorCode);
    virtual void OnAccept(int errorCode);
    virtual void OnConnect(int errorCode);
    virtual void OnClose(int errorCode);

private:
    // Readiness last reported for the handle; a flag may be stale in the ready direction
    // (the call that finds out clears it), never in the other.
    enum Readiness : std::uint8_t {
        kReadable = 1,
        kWritable = 2,
        kUrgent = 4,
        kHangUp = 8,
        kFailed = 16,
        // Data or a connection arrived (readable, with no hang-up or error) and nothing has
        // been read or accepted since: a notification needs no system call to confirm it.
        kFresh = 32,
    };

    bool Open(CUniqueFd fd, int type, bool connected, long events);
    void Rearm(int kinds);
    int NoteSendResult(long result, int error);
    // `emptied`: a successful read is known to have left nothing waiting.
    void NoteReceiveResult(long result, bool emptied, int flags, int error);

    // IReadinessTarget: merges readiness from the poller and, if a notification of `kind`
    // is due, delivers it. The handler is the last thing that touches this object.
    void NoteReadiness(std::uint32_t readiness) override;
    void DeliverIfDue(int kind) override;
    void OnDescriptorFreed() override { Rearm(FD_ACCEPT); }
    bool ReadNotificationDue(int& errorCode);
    bool AcceptNotificationDue();
    // Ends a connect in progress once the poller has reported its outcome; notifies when
    // FD_CONNECT is selected.
    void FinishConnectIfDue();

    CUniqueFd m_fd;
    // A listener's connection, or the error, taken by the check that found FD_ACCEPT due
    // (m_aheadTaken), for the Accept that the notification leads to.
    CUniqueFd m_acceptedAhead;
    sockaddr_in m_aheadPeer{};
    int m_aheadError = 0;
    bool m_aheadTaken = false;
    sockaddr_in m_peer{};
    bool m_peerKnown = false;
    CReactor* m_reactor = nullptr;
    std::uint64_t m_token = 0;
    int m_type = 0;
    bool m_watchesRoomToSend = false;  // the poller reports room to send
    long m_selected = 0;
    int m_enabled = 0;          // FD_* kinds that may be notified
    std::uint8_t m_ready = 0;   // Readiness flags
    bool m_connected = false;   // a stream connection (FD_CLOSE applies)
    bool m_connecting = false;  // Connect was called; FD_CONNECT has not reported yet
};
