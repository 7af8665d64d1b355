#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dns/DnsMessage.h"
#include "dns/DnsRoute.h"
#include "dns/QueryOrigin.h"
#include "dns/QueryRecord.h"
#include "dns/RelayRequest.h"
#include "net/ReadableWatch.h"
#include "settings/KeptProfile.h"

class CDnsQuestion;
class CFilterLists;
class CUpstreamRelay;
class IActivitySink;
class ProfileStore;

// Decides and carries out every query, whichever transport brought it. The route is
// dns::ChooseRoute's; this class carries it out: local answers go back at once, relayed
// queries are handed to the upstream relay, whose reply (or, with "AlwaysReply", SERVFAIL
// after silence) goes back when it comes, while further queries are handled meanwhile.
// Anything that holds no complete question is dropped without a reply, and is no query to
// count. However a query ends, its transport hears it once, in Conclude, and so does the
// activity sink.
//
// Owned by the main window for as long as the DNS service runs, with the transports that use
// it; deleting it drops the relays still in flight. The filter lists, relay, profile and
// activity sink are not owned and must outlive it; `activity` may be null.
class CQueryHandler : private IRelayClient {
public:
    CQueryHandler(const CFilterLists& filters, CUpstreamRelay& relay, const ProfileStore& profile,
                  IActivitySink* activity);
    ~CQueryHandler() override;

    CQueryHandler(const CQueryHandler&) = delete;
    CQueryHandler& operator=(const CQueryHandler&) = delete;

    // One query of `length` bytes from `origin` (0 bytes: a receive that gave nothing usable).
    // Its transport's Finish is called once, now or when the relay ends.
    void Handle(const std::uint8_t* message, std::size_t length, const QueryOrigin& origin);

private:
    void Carry(const dns::Route& route, const std::uint8_t* message, std::size_t length,
               const CDnsQuestion& question, const QueryOrigin& origin);
    // A local answer of `replyLength` bytes (none when it did not fit), then idle.
    void ReplyLocally(const dns::MessageBuffer& buffer, std::size_t replyLength,
                      const CDnsQuestion& question, ActivityOutcome outcome,
                      const QueryOrigin& origin);
    // No server answers this query: activity returns to idle for a passed name, and with
    // "AlwaysReply" the client gets an error reply with `rcode`.
    void ReplyUnanswered(const dns::Route& route, const std::uint8_t* message,
                         const CDnsQuestion& question, const QueryOrigin& origin,
                         std::uint8_t rcode);
    // The one place where a query ends: the activity sink counts it with `outcome` (unless
    // `question` is null: nothing that is a query came), and for a relayed reply with the
    // server that sent it and the relay's time; then its transport sends the reply, if any.
    void Conclude(const QueryOrigin& origin, const CDnsQuestion* question, ActivityOutcome outcome,
                  const std::uint8_t* reply, std::size_t length, std::uint32_t server = 0,
                  std::uint32_t durationUs = 0);
    void SetActivity(int state);

    // IRelayClient
    void OnRelayReply(const RelayRequest& request, const std::uint8_t* reply, std::size_t length,
                      std::uint32_t server, std::uint32_t durationUs) override;
    void OnRelayUnanswered(const RelayRequest& request) override;

    const CFilterLists& m_filters;
    CUpstreamRelay& m_relay;
    CKeptProfile m_profile;
    CReadableWatch m_profileWatch;  // after m_profile: stops before the watch closes
    IActivitySink* m_activity;
    // The address locally built A answers carry, in network order; it never changes.
    const std::array<std::uint8_t, 4> m_resolveAddress{127, 0, 0, 1};
};
