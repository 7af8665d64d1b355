#pragma once

#include "dns/QueryOrigin.h"
#include "net/AsyncSocket.h"

class CQueryHandler;

// The DNS service's datagram face: every datagram is read at once, in OnReceive, and handed
// to the query handler; replies go back to the datagram's sender. A datagram longer than
// 512 bytes is dropped like one that holds no question.
//
// Owned by the main window, which creates it when the service starts and deletes it when
// the service stops. The handler is not owned and must outlive it.
class CDnsSocket : public CAsyncSocket, private IQueryTransport {
public:
    // Where the service listens (port dns::kDnsPort), on UDP and TCP.
    static constexpr const char* kServiceAddress = "127.0.0.1";

    explicit CDnsSocket(CQueryHandler& handler);

protected:
    void OnReceive(int errorCode) override;

private:
    // IQueryTransport: the reply goes out with MSG_DONTROUTE (the client is always on this
    // machine); a failed send is not noticed.
    void Finish(const QueryOrigin& origin, const std::uint8_t* reply, std::size_t length) override;

    CQueryHandler& m_handler;
};
