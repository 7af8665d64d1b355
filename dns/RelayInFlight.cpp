#include "dns/RelayInFlight.h"

CRelayInFlight::CRelayInFlight(const RelayRequest& request,
                               const std::array<sockaddr_in, kMaxServers>& servers, int serverCount,
                               int replyTimeoutMs, IRelayOwner& owner, IRelayClient& client)
    : m_request(request),
      m_servers(servers),
      m_serverCount(serverCount),
      m_replyTimeoutMs(replyTimeoutMs),
      m_owner(owner),
      m_client(client),
      m_reactor(*CReactor::Current()) {}

CRelayInFlight::~CRelayInFlight() {
    if (m_timer != 0) {
        m_reactor.StopTimer(m_timer);
    }
}

void CRelayInFlight::AskNext() {
    if (m_timer != 0) {
        m_reactor.StopTimer(m_timer);
        m_timer = 0;
    }
    if (m_asked == m_serverCount) {
        m_owner.OnRelayEnded(*this, nullptr, 0);
        return;
    }
    if (m_asked == 0) {
        m_started = std::chrono::steady_clock::now();
    }
    m_owner.OnAsking();
    m_timer = m_reactor.StartTimer(m_replyTimeoutMs, [this] {
        m_timer = 0;
        AskNext();
    });
    Ask(m_servers[m_asked++]);
}

void CRelayInFlight::End(const std::uint8_t* reply, std::size_t length, const sockaddr_in& server) {
    m_answeredBy = server.sin_addr.s_addr;
    m_owner.OnRelayEnded(*this, reply, length);
}

std::uint32_t CRelayInFlight::ElapsedUs() const {
    const auto elapsed = std::chrono::steady_clock::now() - m_started;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

bool CRelayInFlight::IsAskedServer(const sockaddr_in& sender) const {
    for (int i = 0; i < m_asked; ++i) {
        if (m_servers[i].sin_addr.s_addr == sender.sin_addr.s_addr &&
            m_servers[i].sin_port == sender.sin_port) {
            return true;
        }
    }
    return false;
}
