#include "dns/DnsStreamConnection.h"

#include <sys/socket.h>

#include <array>

#include "dns/DnsStreamListener.h"
#include "dns/QueryHandler.h"
#include "net/Sys.h"

namespace {

constexpr long kEvents = FD_READ | FD_WRITE | FD_CLOSE;
constexpr std::size_t kReadSize = 16384;
constexpr std::int64_t kNsPerMs = 1000000;

}  // namespace

CDnsStreamConnection::CDnsStreamConnection(CDnsStreamListener& listener, IQueryTransport& transport,
                                           std::uint64_t id, CQueryHandler& handler,
                                           int idleTimeoutMs)
    : m_listener(listener),
      m_handler(handler),
      m_reactor(*CReactor::Current()),
      m_idleTimeoutMs(idleTimeoutMs) {
    m_origin.transport = &transport;
    m_origin.connection = id;
    m_origin.stream = true;
}

CDnsStreamConnection::~CDnsStreamConnection() {
    if (m_timer != 0) {
        m_reactor.StopTimer(m_timer);
    }
}

void CDnsStreamConnection::Begin() {
    m_lastHeardNs = sys::MonotonicNs();
    StartIdleCheck(m_idleTimeoutMs);
    AsyncSelect(kEvents);
}

void CDnsStreamConnection::OnReceive(int /*errorCode*/) {
    if (m_pending >= kMaxPendingQueries) {
        // Not reading leaves the bytes in the kernel; HandleQueries reads again once a
        // query is answered.
        m_readingHeld = true;
        return;
    }
    std::array<std::uint8_t, kReadSize> bytes;
    const int received = Receive(bytes.data(), static_cast<int>(bytes.size()));
    if (received == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            End();
        }
        return;
    }
    if (received == 0) {
        m_peerDone = true;
        if (Finished()) {
            End();
        }
        return;
    }
    m_lastHeardNs = sys::MonotonicNs();
    m_reader.Append(bytes.data(), static_cast<std::size_t>(received));
    HandleQueries();
}

void CDnsStreamConnection::HandleQueries() {
    if (!IsOpen()) {
        return;
    }
    m_handling = true;
    const std::uint8_t* message = nullptr;
    std::size_t length = 0;
    while (m_pending < kMaxPendingQueries && m_reader.Next(message, length)) {
        ++m_pending;
        m_handler.Handle(message, length, m_origin);
        if (!IsOpen()) {
            return;  // abandoned by a reply it could not hold
        }
    }
    m_handling = false;
    if (!Flush()) {
        Abandon();
        return;
    }
    if (m_readingHeld && m_pending < kMaxPendingQueries) {
        m_readingHeld = false;
        AsyncSelect(kEvents);
    }
    if (Finished()) {
        Abandon();
    }
}

void CDnsStreamConnection::Finish(const std::uint8_t* reply, std::size_t length) {
    if (!IsOpen()) {
        return;  // abandoned: the listener deletes it soon
    }
    --m_pending;
    if (length != 0) {
        m_unsent.push_back(static_cast<std::uint8_t>(length >> 8));
        m_unsent.push_back(static_cast<std::uint8_t>(length));
        m_unsent.insert(m_unsent.end(), reply, reply + length);
    }
    if (m_unsent.size() - m_unsentHead >= kMaxUnsentBytes) {
        Abandon();
        return;
    }
    if (!m_handling) {
        // A relayed reply: the queries held back by the bound may go on now.
        HandleQueries();
    }
}

bool CDnsStreamConnection::Flush() {
    while (m_unsentHead < m_unsent.size()) {
        const int sent =
            Send(m_unsent.data() + m_unsentHead, static_cast<int>(m_unsent.size() - m_unsentHead));
        if (sent == SOCKET_ERROR) {
            // No room: FD_WRITE comes back when there is.
            return WSAGetLastError() == WSAEWOULDBLOCK;
        }
        m_unsentHead += static_cast<std::size_t>(sent);
        if (m_unsentHead >= kMaxUnsentBytes) {
            // A client that reads slowly but steadily never lets the buffer empty.
            m_unsent.erase(m_unsent.begin(),
                           m_unsent.begin() + static_cast<std::ptrdiff_t>(m_unsentHead));
            m_unsentHead = 0;
        }
    }
    m_unsent.clear();
    m_unsentHead = 0;
    return true;
}

bool CDnsStreamConnection::Finished() const {
    return m_peerDone && m_pending == 0 && m_unsentHead == m_unsent.size();
}

void CDnsStreamConnection::OnSend(int /*errorCode*/) {
    if (!Flush() || Finished()) {
        End();
    }
}

void CDnsStreamConnection::OnClose(int /*errorCode*/) {
    // The client sends nothing more: what it sent is still answered (the rest of it read as
    // the bound allows), then the connection ends.
    m_peerDone = true;
    m_readingHeld = true;
    HandleQueries();
}

void CDnsStreamConnection::StartIdleCheck(int delayMs) {
    m_timer = m_reactor.StartTimer(delayMs, [this] {
        m_timer = 0;
        OnIdleCheck();
    });
}

void CDnsStreamConnection::OnIdleCheck() {
    const std::int64_t silentMs = (sys::MonotonicNs() - m_lastHeardNs) / kNsPerMs;
    if (silentMs < m_idleTimeoutMs) {
        StartIdleCheck(static_cast<int>(m_idleTimeoutMs - silentMs));
        return;
    }
    if (m_pending == 0 || m_reader.HoldsPartialMessage()) {
        End();
        return;
    }
    // Its queries are with the relay, which ends each of them within seconds.
    StartIdleCheck(m_idleTimeoutMs);
}

void CDnsStreamConnection::Abandon() {
    Close();
    if (m_timer != 0) {
        m_reactor.StopTimer(m_timer);
    }
    m_timer = m_reactor.StartTimer(0, [this] {
        m_timer = 0;
        End();
    });
}

void CDnsStreamConnection::End() {
    m_listener.Drop(m_origin.connection);
}
