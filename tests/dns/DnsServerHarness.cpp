#include "DnsServerHarness.h"

namespace dnstest {

namespace {

constexpr int kDispatchSliceMs = 20;
constexpr int kClientBufferSize = 2048;
constexpr const char* kLoopback = "127.0.0.1";

}  // namespace

CDnsServerHarness::CDnsServerHarness() {
    m_client.Create(0, SOCK_DGRAM, 0, kLoopback);
    m_folder.WriteFilterFile("named.txt", kNamedList);
    m_folder.WriteFilterFile("pass.txt", kPassList);
}

bool CDnsServerHarness::Start(unsigned upstreamPort) {
    m_filters = std::make_unique<CFilterLists>(m_folder.Profile(), nullptr);
    m_filters->LoadFilters();
    m_relay = std::make_unique<CUpstreamRelay>(m_folder.Profile(), &m_activity, upstreamPort,
                                               kReplyTimeoutMs);
    m_relay->LoadProxyServers();
    m_server = std::make_unique<CDnsSocket>(*m_filters, *m_relay, m_folder.Profile(), &m_activity);
    return m_reactor.IsValid() && m_folder.IsValid() && m_client.Handle() != INVALID_SOCKET &&
           m_server->Create(0, SOCK_DGRAM, FD_READ, kLoopback);
}

void CDnsServerHarness::Send(const Bytes& datagram) {
    m_client.SendTo(datagram.data(), static_cast<int>(datagram.size()), m_server->LocalPort(),
                    kLoopback);
}

std::optional<Bytes> CDnsServerHarness::NextReply(int patienceMs) {
    for (int slice = 0; slice <= patienceMs / kDispatchSliceMs; ++slice) {
        Bytes reply(kClientBufferSize);
        const int received = m_client.Receive(reply.data(), static_cast<int>(reply.size()));
        if (received >= 0) {
            reply.resize(static_cast<std::size_t>(received));
            return reply;
        }
        m_reactor.DispatchReady(kDispatchSliceMs);
    }
    return std::nullopt;
}

std::optional<Bytes> CDnsServerHarness::Exchange(const Bytes& datagram) {
    Send(datagram);
    return NextReply();
}

Bytes CDnsServerHarness::SentinelQuery() {
    return MakeQuery(kSentinelId, "sentinel.ads.example", 1);
}

bool CDnsServerHarness::DroppedAndServerStillAnswers(const Bytes& datagram) {
    Send(datagram);
    const std::optional<Bytes> reply = Exchange(SentinelQuery());
    return reply && reply->size() >= 2 && IdOf(*reply) == kSentinelId;
}

}  // namespace dnstest
