#pragma once

#include <netinet/in.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "dns/DnsMessage.h"
#include "dns/RelayInFlight.h"
#include "dns/RelayRequest.h"

class IActivitySink;
class ProfileStore;

// The upstream server table and the relayed queries in flight. Owned by the main window;
// the table is loaded at each start of the DNS service.
//
// Relays run side by side on the one thread, each on a socket of its own, with their
// reply time-outs kept by the reactor: nothing waits for an upstream server. A query that
// came over TCP is relayed over TCP, any other by datagram.
class CUpstreamRelay : public IRelayOwner {
public:
    static constexpr int kMaxProxyServers = 5;
    // Longest server text an entry holds; a dotted IPv4 address needs at most 15.
    static constexpr std::size_t kMaxServerTextLength = 16;
    static constexpr int kReplyTimeoutMs = 1000;
    // Relays in flight at most; a query beyond them is not relayed.
    static constexpr std::size_t kMaxPendingRelays = 1024;

    // Neither pointer is owned; `activity` may be null. `upstreamPort` and
    // `replyTimeoutMs` stay at their defaults in the program.
    CUpstreamRelay(const ProfileStore& profile, IActivitySink* activity,
                   unsigned upstreamPort = dns::kDnsPort, int replyTimeoutMs = kReplyTimeoutMs);
    ~CUpstreamRelay() override;

    CUpstreamRelay(const CUpstreamRelay&) = delete;
    CUpstreamRelay& operator=(const CUpstreamRelay&) = delete;

    // Fills the table from the non-empty keys "IP1" to "IP5" of section "Proxy", in key
    // order; later entries move down over empty or missing keys. A value longer than
    // kMaxServerTextLength is skipped like an empty one (cutting it would name another
    // host). An entry that is not a dotted-decimal IPv4 address, or that leads back to this
    // server (0.0.0.0, 127.0.0.1), keeps its place but is never asked; each one but a blank
    // row's "0.0.0.0" is reported on standard error. Returns the number of entries.
    int LoadProxyServers();

    int ProxyCount() const { return m_proxyCount; }
    std::string_view ProxyServer(int entry) const { return m_entries[entry].text.data(); }
    // The entries that are asked when selected (bit j: entry j).
    int AskableServers() const { return m_askable; }

    // Starts relaying the query to the askable entries of its mask, the last entry first,
    // each asked once the one before stayed silent for the reply time-out. `client` hears
    // how it ends and must outlive it. False, with nothing started, when no server would be
    // asked, when kMaxPendingRelays are in flight or when no socket can be made.
    bool RelayQuery(const RelayRequest& request, IRelayClient& client);

    // Ends every relay in flight without a word to its client, closing its socket.
    void DropPending();
    std::size_t PendingCount() const { return m_pending.size(); }

private:
    struct Entry {
        std::array<char, kMaxServerTextLength + 1> text{};
        sockaddr_in address{};
        bool askable = false;
    };

    void OnAsking() override;
    void OnRelayEnded(CRelayInFlight& relay, const std::uint8_t* reply,
                      std::size_t length) override;
    void SetActivity(int state) const;

    const ProfileStore& m_profile;
    IActivitySink* m_activity;
    unsigned m_upstreamPort;
    int m_replyTimeoutMs;
    std::array<Entry, kMaxProxyServers> m_entries{};
    int m_proxyCount = 0;
    int m_askable = 0;
    std::unordered_map<const CRelayInFlight*, std::unique_ptr<CRelayInFlight>> m_pending;
};
