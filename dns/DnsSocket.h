#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dns/DnsMessage.h"
#include "net/AsyncSocket.h"

class CDnsQuestion;
class CFilterLists;
class CUpstreamRelay;
class IActivitySink;
class ProfileStore;

// The DNS service socket: a datagram socket whose every datagram is handled at once, in
// OnReceive. A queries for names in the named list get a local answer carrying 127.0.0.1, the
// reverse query for 127.0.0.1 gets "localhost"; other A and PTR queries go to the
// upstream relay and its reply goes back to the client unchanged; every other query type,
// and anything that holds no complete question, is dropped without a reply.
//
// Owned by the main window, which creates it when the service starts and deletes it
// when the service stops. The filter lists, relay, profile and activity sink are not
// owned and must outlive it; `activity` may be null.
class CDnsSocket : public CAsyncSocket {
public:
    // Where the service listens (port dns::kDnsPort).
    static constexpr const char* kServiceAddress = "127.0.0.1";

    CDnsSocket(const CFilterLists& filters, CUpstreamRelay& relay, const ProfileStore& profile,
               IActivitySink* activity);

protected:
    void OnReceive(int errorCode) override;

private:
    struct Client {
        std::string address;
        unsigned port = 0;
    };

    void HandleAddressQuery(dns::MessageBuffer& buffer, int length, const CDnsQuestion& question,
                            const Client& client);
    void HandlePointerQuery(dns::MessageBuffer& buffer, int length, const CDnsQuestion& question,
                            const Client& client);
    // Relays the query with the mask `maskOf` makes from "UseCode"; a reply goes back to
    // the client with activity 5. False when no reply came.
    bool RelayAndReply(dns::MessageBuffer& buffer, int length, int (*maskOf)(int),
                       const Client& client);
    void Reply(const dns::MessageBuffer& buffer, std::size_t length, const Client& client);
    void SetActivity(int state);

    const CFilterLists& m_filters;
    CUpstreamRelay& m_relay;
    const ProfileStore& m_profile;
    IActivitySink* m_activity;
    // The address locally built A answers carry, in network order; it never changes.
    const std::array<std::uint8_t, 4> m_resolveAddress{127, 0, 0, 1};
};
