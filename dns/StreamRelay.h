#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dns/RelayInFlight.h"
#include "dns/TcpFrameReader.h"
#include "net/AsyncSocket.h"

// A relayed query asked over TCP: each server in turn on a connection of its own, made
// without waiting, the query sent with its length prefix. The reply is taken only from the
// connection of the server being asked: the first message that answers the query
// (dns::AnswersQuery); other messages are thrown away and the wait goes on. A server that
// refuses or ends the connection gives way to the next one at once; one that stays silent,
// once the reply time-out is over. Deleting it closes its connection.
class CStreamRelay : public CRelayInFlight, public CAsyncSocket {
public:
    using CRelayInFlight::CRelayInFlight;

    bool Start() override;

protected:
    void OnConnect(int errorCode) override;
    void OnReceive(int errorCode) override;
    void OnSend(int errorCode) override;
    void OnClose(int errorCode) override;

private:
    // Closes the connection to the previous server and starts one to `server`. A connection
    // that cannot even be started is not noticed: the wait for that server runs out.
    void Ask(const sockaddr_in& server) override;
    void SendQuery();

    enum class ReadResult {
        kAnswered,  // the reply came: the relay has ended and the object is gone
        kMore,      // bytes came, no reply among them yet
        kWaiting,   // nothing to read now
        kEnded,     // the server closed the connection, or it broke
    };
    ReadResult ReadReply();

    std::vector<std::uint8_t> m_framed;  // the length prefix and the query
    std::size_t m_sent = 0;              // bytes of m_framed on this connection so far
    bool m_connectionMade = false;
    bool m_used = false;  // the open socket has been connected to a server already
    CTcpFrameReader m_reader;
};
