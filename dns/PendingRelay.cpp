#include "dns/PendingRelay.h"

#include <sys/socket.h>

#include "dns/RelayedReply.h"

CPendingRelay::CPendingRelay(const RelayRequest& request,
                             const std::array<sockaddr_in, kMaxServers>& servers, int serverCount,
                             int replyTimeoutMs, IRelayOwner& owner, IRelayClient& client)
    : m_request(request),
      m_servers(servers),
      m_serverCount(serverCount),
      m_replyTimeoutMs(replyTimeoutMs),
      m_owner(owner),
      m_client(client),
      m_reactor(*CReactor::Current()) {}

CPendingRelay::~CPendingRelay() {
    if (m_timer != 0) {
        m_reactor.StopTimer(m_timer);
    }
}

bool CPendingRelay::Start() {
    if (!Create(0, SOCK_DGRAM, FD_READ)) {
        return false;
    }
    m_started = std::chrono::steady_clock::now();
    AskNext();
    return true;
}

void CPendingRelay::AskNext() {
    m_timer = 0;
    if (m_asked == m_serverCount) {
        m_owner.OnRelayEnded(*this, nullptr, 0);
        return;
    }
    m_owner.OnAsking();
    // A failed send is not noticed: the wait for that server simply runs out.
    SendTo(m_request.query.data(), static_cast<int>(m_request.length), m_servers[m_asked++]);
    m_timer = m_reactor.StartTimer(m_replyTimeoutMs, [this] { AskNext(); });
}

void CPendingRelay::OnReceive(int /*errorCode*/) {
    std::array<std::uint8_t, dns::kMaxRelayedReplySize> reply;
    sockaddr_in sender{};
    const int received = ReceiveFrom(reply.data(), static_cast<int>(reply.size()), sender);
    if (received <= 0 || static_cast<std::size_t>(received) > m_request.replyLimit ||
        !IsAskedServer(sender) ||
        !dns::AnswersQuery(m_request.query.data(), m_request.questionEnd, reply.data(),
                           static_cast<std::size_t>(received))) {
        return;
    }
    m_answeredBy = sender.sin_addr.s_addr;
    m_owner.OnRelayEnded(*this, reply.data(), static_cast<std::size_t>(received));
}

std::uint32_t CPendingRelay::ElapsedUs() const {
    const auto elapsed = std::chrono::steady_clock::now() - m_started;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

bool CPendingRelay::IsAskedServer(const sockaddr_in& sender) const {
    for (int i = 0; i < m_asked; ++i) {
        if (m_servers[i].sin_addr.s_addr == sender.sin_addr.s_addr &&
            m_servers[i].sin_port == sender.sin_port) {
            return true;
        }
    }
    return false;
}
