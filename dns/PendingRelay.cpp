#include "dns/PendingRelay.h"

#include <sys/socket.h>

#include "dns/RelayedReply.h"

bool CPendingRelay::Start() {
    if (!CreateForReplies(FD_READ)) {
        return false;
    }
    AskNext();
    return true;
}

void CPendingRelay::Ask(const sockaddr_in& server) {
    SendTo(m_request.query.data(), static_cast<int>(m_request.query.size()), server);
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
    End(reply.data(), static_cast<std::size_t>(received), sender);
}
