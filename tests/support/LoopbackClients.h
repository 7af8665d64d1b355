#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/UniqueFd.h"
#include "tests/support/DnsMessages.h"

namespace kit {

// A datagram client on 127.0.0.1, standing in for a resolver.
class CUdpClient {
public:
    CUdpClient();

    void Send(unsigned port, const Bytes& datagram, const char* host = "127.0.0.1") const;
    // The next datagram that arrives within `timeoutMs`.
    std::optional<Bytes> Receive(int timeoutMs) const;
    // Sends and waits for the reply.
    std::optional<Bytes> Ask(unsigned port, const Bytes& query, int timeoutMs = 3000) const;

private:
    CUniqueFd m_fd;
};

// How a TCP client sets up its end before connecting.
struct TcpOptions {
    const char* fromAddress = nullptr;  // bound first when set
    int receiveBuffer = 0;              // SO_RCVBUF when > 0
    int maxSegment = 0;  // TCP_MAXSEG when > 0: the server then sends segments this small
};

// A loopback TCP client, standing in for a browser. It connects at once (the kernel
// completes the handshake before the server accepts) and then never blocks, so a test can
// alternate between the server's reactor and the client.
class CTcpClient {
public:
    explicit CTcpClient(unsigned port, const TcpOptions& options = {});

    bool IsConnected() const { return m_connected; }
    // Sends as much of `data` as the socket takes now; returns the count sent.
    std::size_t SendSome(std::string_view data);
    // Appends what has arrived to Received(), at most `limit` bytes, without waiting.
    // Notes the end of the stream or a reset.
    std::size_t ReadAvailable(std::size_t limit = static_cast<std::size_t>(-1));
    // Reads, waiting up to `timeoutMs` between pieces, until the server ends the stream.
    const std::string& ReadToEnd(int timeoutMs = 3000);

    const std::string& Received() const { return m_received; }
    bool Ended() const { return m_ended; }
    bool WasReset() const { return m_reset; }

    void Close() { m_fd.Reset(); }

private:
    CUniqueFd m_fd;
    bool m_connected = false;
    bool m_ended = false;
    bool m_reset = false;
    std::string m_received;
};

// A port of 127.0.0.1 held by another socket, so that a server cannot bind it.
class CHeldPort {
public:
    // `type`: SOCK_DGRAM or SOCK_STREAM; `port` 0 takes any free one.
    explicit CHeldPort(int type, unsigned port = 0);
    unsigned Port() const { return m_port; }

private:
    CUniqueFd m_fd;
    unsigned m_port = 0;
};

}  // namespace kit
