#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "dns/DnsMessage.h"

class CAsyncSocket;
class IActivitySink;
class ProfileStore;

// The upstream server table and the relay of one query to the servers a selection mask
// picks. Owned by the main window; the table is loaded at each start of the DNS service.
//
// A relay blocks the calling thread: it waits up to one reply time-out per selected
// server, and nothing else runs meanwhile. It opens its own datagram socket for the one
// query and closes it before it returns.
class CUpstreamRelay {
public:
    static constexpr int kMaxProxyServers = 5;
    // Longest server text an entry holds; a dotted IPv4 address needs at most 15.
    static constexpr std::size_t kMaxServerTextLength = 16;
    static constexpr int kReplyTimeoutMs = 1000;

    static constexpr std::string_view kProxySection = "Proxy";
    static constexpr std::string_view kUseCodeKey = "UseCode";

    // Neither pointer is owned; `activity` may be null. `upstreamPort` and
    // `replyTimeoutMs` stay at their defaults in the program.
    CUpstreamRelay(const ProfileStore& profile, IActivitySink* activity,
                   unsigned upstreamPort = dns::kDnsPort, int replyTimeoutMs = kReplyTimeoutMs);

    // Fills the table from the non-empty keys "IP1" to "IP5" of section "Proxy", in key
    // order; later entries move down over empty or missing keys. A value longer than
    // kMaxServerTextLength cannot be an address entry and is skipped like an empty one
    // (cutting it would name a different host). Returns the number of entries.
    int LoadProxyServers();

    // Selection masks made from a "UseCode" value: bit j selects table entry j. Each of
    // the five low decimal digits belongs to one row (ten-thousands = row 1); a digit's
    // bit 1 is "If passed", its bit 0 "If not named". Higher digits are ignored. A
    // negative value (no dialog writes one) selects no server.
    static int PassMask(int useCode);
    static int NotNamedMask(int useCode);

    // Sends the query (`length` bytes of `buffer`, unchanged) to each selected server,
    // the last entry first, and waits up to the reply time-out for each. A datagram is the
    // reply only when it comes from a server asked during this relay (its address and
    // the upstream port), carries the query's ID and is 2 to 512 bytes long; anything
    // else is read, thrown away, and the wait goes on. Returns 1 with the reply copied
    // into `buffer` and `length` set to its size, or 0 with both unchanged.
    int RelayQuery(dns::MessageBuffer& buffer, int& length, int mask);

    int ProxyCount() const { return m_proxyCount; }
    std::string_view ProxyServer(int entry) const { return m_proxyServers[entry].data(); }

private:
    using ServerText = std::array<char, kMaxServerTextLength + 1>;

    bool AwaitReply(CAsyncSocket& relaySocket, dns::MessageBuffer& buffer, int& length,
                    unsigned askedEntries) const;
    bool IsAskedServer(std::string_view address, unsigned port, unsigned askedEntries) const;
    void SetActivity(int state) const;

    const ProfileStore& m_profile;
    IActivitySink* m_activity;
    unsigned m_upstreamPort;
    int m_replyTimeoutMs;
    std::array<ServerText, kMaxProxyServers> m_proxyServers{};
    int m_proxyCount = 0;
};
