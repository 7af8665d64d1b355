#include "dns/UpstreamRelay.h"

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "dns/ActivitySink.h"
#include "net/AsyncSocket.h"
#include "settings/ProfileStore.h"

namespace {

constexpr std::array<std::string_view, CUpstreamRelay::kMaxProxyServers> kServerKeys = {
    "IP1", "IP2", "IP3", "IP4", "IP5"};

// The "UseCode" digit of table entry j is that of row j + 1: ten-thousands for entry 0
// down to units for entry 4.
constexpr std::array<int, CUpstreamRelay::kMaxProxyServers> kEntryDigitWeights = {10000, 1000, 100,
                                                                                  10, 1};
constexpr int kDigitBase = 10;
constexpr int kNotNamedDigitBit = 1;
constexpr int kPassedDigitBit = 2;

// The text a row without a server holds. On this platform a datagram sent to it reaches
// the local host, that is this very server, so it is never sent to.
constexpr std::string_view kNoServerAddress = "0.0.0.0";

// The shortest datagram that carries an ID.
constexpr int kMinMessageLength = 2;

int MaskOfDigitBit(int useCode, int digitBit) {
    if (useCode < 0) {
        return 0;
    }
    int mask = 0;
    for (int entry = 0; entry < CUpstreamRelay::kMaxProxyServers; ++entry) {
        const int digit = (useCode / kEntryDigitWeights[entry]) % kDigitBase;
        if ((digit & digitBit) != 0) {
            mask |= 1 << entry;
        }
    }
    return mask;
}

}  // namespace

CUpstreamRelay::CUpstreamRelay(const ProfileStore& profile, IActivitySink* activity,
                               unsigned upstreamPort, int replyTimeoutMs)
    : m_profile(profile),
      m_activity(activity),
      m_upstreamPort(upstreamPort),
      m_replyTimeoutMs(replyTimeoutMs) {}

int CUpstreamRelay::LoadProxyServers() {
    int count = 0;
    for (const std::string_view key : kServerKeys) {
        const std::string server = m_profile.ReadString(kProxySection, key, "");
        if (server.empty() || server.size() > kMaxServerTextLength) {
            continue;
        }
        ServerText& entry = m_proxyServers[count++];
        entry.fill('\0');
        std::copy(server.begin(), server.end(), entry.begin());
    }
    m_proxyCount = count;
    return m_proxyCount;
}

int CUpstreamRelay::PassMask(int useCode) {
    return MaskOfDigitBit(useCode, kPassedDigitBit);
}

int CUpstreamRelay::NotNamedMask(int useCode) {
    return MaskOfDigitBit(useCode, kNotNamedDigitBit);
}

int CUpstreamRelay::RelayQuery(dns::MessageBuffer& buffer, int& length, int mask) {
    if (mask == 0 || m_proxyCount == 0 || length < kMinMessageLength ||
        length > static_cast<int>(buffer.size())) {
        return 0;
    }
    CAsyncSocket relaySocket;
    if (!relaySocket.Create(0, SOCK_DGRAM, FD_READ)) {
        return 0;
    }
    unsigned askedEntries = 0;
    for (int entry = m_proxyCount - 1; entry >= 0; --entry) {
        if ((mask & (1 << entry)) == 0) {
            continue;
        }
        SetActivity(IActivitySink::kRelaying);
        const char* server = m_proxyServers[entry].data();
        if (server != kNoServerAddress) {
            relaySocket.SendTo(buffer.data(), length, m_upstreamPort, server);
            askedEntries |= 1u << entry;
        }
        if (AwaitReply(relaySocket, buffer, length, askedEntries)) {
            relaySocket.Close();
            return 1;
        }
    }
    SetActivity(IActivitySink::kIdle);
    relaySocket.Close();
    return 0;
}

bool CUpstreamRelay::AwaitReply(CAsyncSocket& relaySocket, dns::MessageBuffer& buffer, int& length,
                                unsigned askedEntries) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_replyTimeoutMs);
    dns::MessageBuffer reply;
    std::string sender;
    unsigned senderPort = 0;
    for (;;) {
        const auto remainingMs =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remainingMs <= 0 || relaySocket.WaitReadable(static_cast<int>(remainingMs)) != 1) {
            return false;
        }
        const int received = relaySocket.ReceiveFrom(reply.data(), static_cast<int>(reply.size()),
                                                     sender, senderPort);
        if (received < kMinMessageLength || !IsAskedServer(sender, senderPort, askedEntries) ||
            reply[dns::kIdOffset] != buffer[dns::kIdOffset] ||
            reply[dns::kIdOffset + 1] != buffer[dns::kIdOffset + 1]) {
            continue;
        }
        std::copy_n(reply.begin(), received, buffer.begin());
        length = received;
        return true;
    }
}

bool CUpstreamRelay::IsAskedServer(std::string_view address, unsigned port,
                                   unsigned askedEntries) const {
    if (port != m_upstreamPort) {
        return false;
    }
    for (int entry = 0; entry < m_proxyCount; ++entry) {
        if ((askedEntries & (1u << entry)) != 0 && address == m_proxyServers[entry].data()) {
            return true;
        }
    }
    return false;
}

void CUpstreamRelay::SetActivity(int state) const {
    if (m_activity != nullptr) {
        m_activity->SetActivity(state);
    }
}
