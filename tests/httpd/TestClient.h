#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How a test client sets up its end before connecting.
struct ClientOptions {
    const char* fromAddress = nullptr;  // bound first when set
    int receiveBuffer = 0;              // SO_RCVBUF when > 0
    int maxSegment = 0;                 // TCP_MAXSEG when > 0: the server sends segments this small
};

// A loopback TCP client driven from the test's own thread: it connects at once (the
// kernel completes the handshake before the server accepts) and then never blocks, so the
// test can alternate between the server's reactor and the client.
class TestClient {
public:
    explicit TestClient(unsigned port, const ClientOptions& options = {});
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool IsConnected() const { return m_connected; }

    // Sends as much of `data` as the socket takes now; returns the count sent.
    std::size_t SendSome(std::string_view data);

    // Appends what has arrived to Received(), at most `limit` bytes, without waiting.
    // Notes the end of the stream or a reset.
    std::size_t ReadAvailable(std::size_t limit = static_cast<std::size_t>(-1));

    const std::string& Received() const { return m_received; }
    bool Ended() const { return m_ended; }
    bool WasReset() const { return m_reset; }

    void Close();

private:
    int m_fd = -1;
    bool m_connected = false;
    bool m_ended = false;
    bool m_reset = false;
    std::string m_received;
};
