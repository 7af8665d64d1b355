#pragma once

#include <netinet/in.h>

#include <array>

#include "dns/RelayInFlight.h"
#include "net/AsyncSocket.h"

// A relayed query asked by datagram, on a datagram socket of its own (its own source port).
// It ends at the first datagram that is the reply: from a server it asked, answering the
// query (dns::AnswersQuery), no longer than the client takes. Anything else is read and
// thrown away and the wait goes on. Deleting it closes its socket.
class CPendingRelay : public CRelayInFlight, public CAsyncSocket {
public:
    using CRelayInFlight::CRelayInFlight;

    // Opens the socket and asks the first server; false when the socket cannot be made.
    bool Start() override;

protected:
    void OnReceive(int errorCode) override;

private:
    // A failed send is not noticed: the wait for that server simply runs out.
    void Ask(const sockaddr_in& server) override;
};
