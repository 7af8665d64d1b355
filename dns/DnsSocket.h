#pragma once

#include <memory>

#include "dns/QueryOrigin.h"
#include "net/AsyncSocket.h"

class CDatagramBatch;
class CQueryHandler;

// The DNS service's datagram face. When datagrams wait, OnReceive takes all of them, several
// per system call, and hands each to the query handler in turn; the replies given meanwhile go
// back to their senders together once the handler has seen them all. Replies that come later
// (relays) go out one by one. A datagram longer than 512 bytes is dropped like one that holds
// no question.
//
// Owned by the main window, which creates it when the service starts and deletes it when
// the service stops. The handler is not owned and must outlive it.
class CDnsSocket : public CAsyncSocket, private IQueryTransport {
public:
    // Where the service listens (port dns::kDnsPort), on UDP and TCP.
    static constexpr const char* kServiceAddress = "127.0.0.1";
    // What the service asks the kernel to hold for it while it handles a batch, so that a burst
    // is not dropped meanwhile.
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

    explicit CDnsSocket(CQueryHandler& handler);
    ~CDnsSocket() override;

    // Opens the socket on kServiceAddress:port for FD_READ with a receive buffer of
    // kReceiveBufferBytes, or as much as the kernel allows. False as Create is.
    bool Start(unsigned port);

protected:
    void OnReceive(int errorCode) override;

private:
    // IQueryTransport: the reply goes out with MSG_DONTROUTE (the client is always on this
    // machine); a failed send is not noticed.
    void Finish(const QueryOrigin& origin, const std::uint8_t* reply, std::size_t length) override;
    void SendGathered();

    CQueryHandler& m_handler;
    std::unique_ptr<CDatagramBatch> m_received;
    std::unique_ptr<CDatagramBatch> m_replies;
    bool m_gathering = false;  // replies join m_replies
};
