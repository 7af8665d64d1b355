#include "dns/DnsSocket.h"

#include <sys/socket.h>

#include "dns/DnsMessage.h"
#include "dns/QueryHandler.h"
#include "net/DatagramBatch.h"

static_assert(CDatagramBatch::kSlotSize == dns::kDnsBufferSize);

CDnsSocket::CDnsSocket(CQueryHandler& handler)
    : m_handler(handler),
      m_received(std::make_unique<CDatagramBatch>()),
      m_replies(std::make_unique<CDatagramBatch>()) {}

CDnsSocket::~CDnsSocket() = default;

bool CDnsSocket::Start(unsigned port) {
    if (!Create(port, SOCK_DGRAM, FD_READ, kServiceAddress)) {
        return false;
    }
    // The kernel caps the size at what it allows; a smaller buffer only drops more of a burst.
    const int size = kReceiveBufferBytes;
    SetSockOpt(SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    return true;
}

void CDnsSocket::OnReceive(int /*errorCode*/) {
    QueryOrigin origin;
    origin.transport = this;
    const int received = ReceiveBatch(m_received->ForReceiving(), CDatagramBatch::kCapacity);
    if (received == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            m_handler.Handle(nullptr, 0, origin);
        }
        return;
    }
    m_gathering = true;
    for (unsigned i = 0; i < static_cast<unsigned>(received); ++i) {
        origin.address = m_received->Address(i);
        m_handler.Handle(m_received->Data(i), m_received->Length(i), origin);
    }
    m_gathering = false;
    SendGathered();
}

void CDnsSocket::Finish(const QueryOrigin& origin, const std::uint8_t* reply, std::size_t length) {
    if (length == 0) {
        return;
    }
    if (m_gathering && m_replies->Count() == CDatagramBatch::kCapacity) {
        SendGathered();
    }
    if (!m_gathering || !m_replies->Add(origin.address, reply, length)) {
        SendTo(reply, static_cast<int>(length), origin.address, MSG_DONTROUTE);
    }
}

void CDnsSocket::SendGathered() {
    const unsigned count = m_replies->Count();
    unsigned sent = 0;
    while (sent < count) {
        // A reply that cannot go is skipped, as a single send that fails would be.
        const int result = SendBatch(m_replies->Messages() + sent, count - sent, MSG_DONTROUTE);
        sent += result > 0 ? static_cast<unsigned>(result) : 1;
    }
    m_replies->Clear();
}
