#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dns/DnsMessage.h"
#include "dns/QueryOrigin.h"

// One query on its way to the upstream servers: its bytes, which go upstream unchanged,
// where its reply goes, and what the reply may be.
struct RelayRequest {
    std::vector<std::uint8_t> query;
    // The end of the query's question (header plus the one question); inside the first
    // kDnsBufferSize bytes.
    std::size_t questionEnd = 0;
    // Where the reply goes; a query that came over TCP is relayed over TCP.
    QueryOrigin origin;
    // Upstream table entries to ask (bit j: entry j), the last entry first.
    int mask = 0;
    // The longest reply the client takes (512, or more when its query says so, or the most a
    // stream carries).
    std::size_t replyLimit = dns::kDnsBufferSize;
    // Silence from every server gets SERVFAIL instead of no reply.
    bool alwaysReply = false;
};

// Who hears how a relay ended: with the reply, byte for byte as the server sent it, or
// without one (every asked server stayed silent, or the relay could not go on).
class IRelayClient {
public:
    virtual ~IRelayClient() = default;
    // `server`: the IPv4 address (network order) that sent the reply; `durationUs`: the time
    // since the first server was asked.
    virtual void OnRelayReply(const RelayRequest& request, const std::uint8_t* reply,
                              std::size_t length, std::uint32_t server,
                              std::uint32_t durationUs) = 0;
    virtual void OnRelayUnanswered(const RelayRequest& request) = 0;
};
