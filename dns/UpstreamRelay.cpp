#include "dns/UpstreamRelay.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "dns/ActivitySink.h"
#include "dns/PendingRelay.h"
#include "dns/StreamRelay.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"

namespace {

// What a blank row of the servers dialog holds: no server, and nothing worth a word.
constexpr std::string_view kNoServerAddress = "0.0.0.0";

// Addresses whose datagrams reach this very server: the local host, and "any address",
// which on this platform means the local host too.
bool LeadsBackHere(const in_addr& address) {
    return address.s_addr == htonl(INADDR_ANY) || address.s_addr == htonl(INADDR_LOOPBACK);
}

}  // namespace

CUpstreamRelay::CUpstreamRelay(const ProfileStore& profile, IActivitySink* activity,
                               unsigned upstreamPort, int replyTimeoutMs)
    : m_profile(profile),
      m_activity(activity),
      m_upstreamPort(upstreamPort),
      m_replyTimeoutMs(replyTimeoutMs) {}

CUpstreamRelay::~CUpstreamRelay() {
    DropPending();
}

int CUpstreamRelay::LoadProxyServers() {
    int count = 0;
    m_askable = 0;
    for (const std::string_view key : profile::kServerKeys) {
        const std::string server = m_profile.ReadString(profile::kProxy, key, "");
        if (server.empty()) {
            continue;
        }
        if (server.size() > kMaxServerTextLength) {
            std::fprintf(stderr, "Nimbrel: upstream server %.*s is too long to be an address\n",
                         static_cast<int>(key.size()), key.data());
            continue;
        }
        Entry& entry = m_entries[count];
        entry = Entry{};
        std::copy(server.begin(), server.end(), entry.text.begin());
        entry.address.sin_family = AF_INET;
        entry.address.sin_port = htons(static_cast<std::uint16_t>(m_upstreamPort));
        const bool dotted = ::inet_pton(AF_INET, server.c_str(), &entry.address.sin_addr) == 1;
        entry.askable = dotted && !LeadsBackHere(entry.address.sin_addr);
        if (entry.askable) {
            m_askable |= 1 << count;
        } else if (server != kNoServerAddress) {
            std::fprintf(stderr, "Nimbrel: upstream server %.*s=%s is %s; it is never asked\n",
                         static_cast<int>(key.size()), key.data(), server.c_str(),
                         dotted ? "this server itself" : "not a dotted IPv4 address");
        }
        ++count;
    }
    m_proxyCount = count;
    return m_proxyCount;
}

bool CUpstreamRelay::RelayQuery(const RelayRequest& request, IRelayClient& client) {
    std::array<sockaddr_in, CRelayInFlight::kMaxServers> servers{};
    int serverCount = 0;
    for (int entry = m_proxyCount - 1; entry >= 0; --entry) {
        if ((request.mask & m_askable & (1 << entry)) != 0) {
            servers[serverCount++] = m_entries[entry].address;
        }
    }
    if (serverCount == 0 || m_pending.size() >= kMaxPendingRelays ||
        CReactor::Current() == nullptr) {
        return false;
    }
    std::unique_ptr<CRelayInFlight> relay;
    if (request.origin.stream) {
        relay = std::make_unique<CStreamRelay>(request, servers, serverCount, m_replyTimeoutMs,
                                               *this, client);
    } else {
        relay = std::make_unique<CPendingRelay>(request, servers, serverCount, m_replyTimeoutMs,
                                                *this, client);
    }
    CRelayInFlight& started = *relay;
    m_pending.emplace(&started, std::move(relay));
    if (!started.Start()) {
        m_pending.erase(&started);
        return false;
    }
    return true;
}

void CUpstreamRelay::DropPending() {
    m_pending.clear();
}

void CUpstreamRelay::OnAsking() {
    SetActivity(IActivitySink::kRelaying);
}

void CUpstreamRelay::OnRelayEnded(CRelayInFlight& relay, const std::uint8_t* reply,
                                  std::size_t length) {
    const auto found = m_pending.find(&relay);
    // Kept alive until its client has heard the end: the request belongs to it.
    const std::unique_ptr<CRelayInFlight> ended = std::move(found->second);
    m_pending.erase(found);
    const RelayRequest& request = ended->Request();
    if (reply != nullptr) {
        ended->Client().OnRelayReply(request, reply, length, ended->AnsweredBy(),
                                     ended->ElapsedUs());
        return;
    }
    if (m_pending.empty()) {
        SetActivity(IActivitySink::kIdle);
    }
    ended->Client().OnRelayUnanswered(request);
}

void CUpstreamRelay::SetActivity(int state) const {
    if (m_activity != nullptr) {
        m_activity->SetActivity(state);
    }
}
