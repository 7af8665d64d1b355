#pragma once

#include <netinet/in.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "dns/DnsMessage.h"
#include "dns/DnsRoute.h"
#include "dns/QueryRecord.h"
#include "dns/RelayRequest.h"
#include "net/AsyncSocket.h"
#include "settings/KeptProfile.h"

class CDnsQuestion;
class CFilterLists;
class CUpstreamRelay;
class IActivitySink;
class ProfileStore;

// The DNS service socket: a datagram socket whose every datagram is handled at once, in
// OnReceive. The route each query takes is decided by dns::ChooseRoute; this class
// carries it out: local answers go back at once, relayed queries are handed to the
// upstream relay, whose reply (or, with "AlwaysReply", SERVFAIL after silence) goes back to
// the client when it comes, while further queries are handled meanwhile. Anything that
// holds no complete question is dropped without a reply, and is no query to count: every
// decoded query is reported to the activity sink once, when it ends here or in the relay.
//
// Owned by the main window, which creates it when the service starts and deletes it when
// the service stops; deleting it drops the relays still in flight. The filter lists,
// relay, profile and activity sink are not owned and must outlive it; `activity` may be
// null.
class CDnsSocket : public CAsyncSocket, private IRelayClient {
public:
    // Where the service listens (port dns::kDnsPort).
    static constexpr const char* kServiceAddress = "127.0.0.1";

    CDnsSocket(const CFilterLists& filters, CUpstreamRelay& relay, const ProfileStore& profile,
               IActivitySink* activity);
    ~CDnsSocket() override;

protected:
    void OnReceive(int errorCode) override;

private:
    void Carry(const dns::Route& route, dns::MessageBuffer& buffer, int length,
               const CDnsQuestion& question, const sockaddr_in& client);
    // Sends a local answer of `replyLength` bytes (none when it did not fit), then idle.
    void ReplyLocally(const dns::MessageBuffer& buffer, std::size_t replyLength,
                      const sockaddr_in& client);
    // No server answers this query: activity returns to idle for a passed name, and with
    // "AlwaysReply" the client gets an error reply with `rcode`.
    void ReplyUnanswered(const dns::Route& route, dns::MessageBuffer& buffer,
                         const CDnsQuestion& question, const sockaddr_in& client,
                         std::uint8_t rcode);
    void Reply(const std::uint8_t* message, std::size_t length, const sockaddr_in& client);
    void SetActivity(int state);
    void Record(const CDnsQuestion& question, ActivityOutcome outcome);

    // IRelayClient
    void OnRelayReply(const RelayRequest& request, const std::uint8_t* reply,
                      std::size_t length) override;
    void OnRelayUnanswered(const RelayRequest& request) override;

    const CFilterLists& m_filters;
    CUpstreamRelay& m_relay;
    CKeptProfile m_profile;
    IActivitySink* m_activity;
    // The address locally built A answers carry, in network order; it never changes.
    const std::array<std::uint8_t, 4> m_resolveAddress{127, 0, 0, 1};
};
