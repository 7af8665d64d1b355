#include "dns/StreamRelay.h"

#include <sys/socket.h>

#include <array>

#include "dns/RelayedReply.h"

namespace {

constexpr long kEvents = FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE;
constexpr std::size_t kReadSize = 16384;

}  // namespace

bool CStreamRelay::Start() {
    const std::size_t length = m_request.query.size();
    m_framed.reserve(length + 2);
    m_framed.push_back(static_cast<std::uint8_t>(length >> 8));
    m_framed.push_back(static_cast<std::uint8_t>(length));
    m_framed.insert(m_framed.end(), m_request.query.begin(), m_request.query.end());
    // The first server's socket: whether one can be made at all shows before anyone is asked.
    if (!Create(0, SOCK_STREAM, kEvents)) {
        return false;
    }
    AskNext();
    return true;
}

void CStreamRelay::Ask(const sockaddr_in& server) {
    if (m_used) {
        Close();
        m_sent = 0;
        m_connectionMade = false;
        m_reader = CTcpFrameReader();
        if (!Create(0, SOCK_STREAM, kEvents)) {
            return;
        }
    }
    m_used = true;
    Connect(server);
}

void CStreamRelay::OnConnect(int errorCode) {
    if (errorCode != 0) {
        AskNext();
        return;
    }
    m_connectionMade = true;
    SendQuery();
}

void CStreamRelay::OnSend(int /*errorCode*/) {
    if (m_connectionMade) {
        SendQuery();
    }
}

void CStreamRelay::SendQuery() {
    while (m_sent < m_framed.size()) {
        const int sent = Send(m_framed.data() + m_sent, static_cast<int>(m_framed.size() - m_sent));
        if (sent == SOCKET_ERROR) {
            // No room: FD_WRITE comes back; a broken connection shows as its close.
            return;
        }
        m_sent += static_cast<std::size_t>(sent);
    }
}

CStreamRelay::ReadResult CStreamRelay::ReadReply() {
    std::array<std::uint8_t, kReadSize> bytes;
    const int received = Receive(bytes.data(), static_cast<int>(bytes.size()));
    if (received == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
        return ReadResult::kWaiting;
    }
    if (received <= 0) {
        return ReadResult::kEnded;
    }
    m_reader.Append(bytes.data(), static_cast<std::size_t>(received));
    const std::uint8_t* message = nullptr;
    std::size_t length = 0;
    while (m_reader.Next(message, length)) {
        if (length <= m_request.replyLimit &&
            dns::AnswersQuery(m_request.query.data(), m_request.questionEnd, message, length)) {
            End(message, length, LastAsked());
            return ReadResult::kAnswered;
        }
    }
    return ReadResult::kMore;
}

void CStreamRelay::OnReceive(int /*errorCode*/) {
    if (ReadReply() == ReadResult::kEnded) {
        AskNext();
    }
}

void CStreamRelay::OnClose(int /*errorCode*/) {
    // What the server sent before it closed may still wait unread.
    for (;;) {
        switch (ReadReply()) {
            case ReadResult::kAnswered:
                return;
            case ReadResult::kMore:
                continue;
            case ReadResult::kWaiting:
            case ReadResult::kEnded:
                AskNext();
                return;
        }
    }
}
