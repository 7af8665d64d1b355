#include "dns/DnsSocket.h"

#include <sys/socket.h>

#include "dns/DnsMessage.h"
#include "dns/QueryHandler.h"

CDnsSocket::CDnsSocket(CQueryHandler& handler) : m_handler(handler) {}

void CDnsSocket::OnReceive(int /*errorCode*/) {
    dns::MessageBuffer buffer;
    QueryOrigin origin;
    origin.transport = this;
    const int received =
        ReceiveFrom(buffer.data(), static_cast<int>(buffer.size()), origin.address);
    m_handler.Handle(buffer.data(), received > 0 ? static_cast<std::size_t>(received) : 0, origin);
}

void CDnsSocket::Finish(const QueryOrigin& origin, const std::uint8_t* reply, std::size_t length) {
    if (length != 0) {
        SendTo(reply, static_cast<int>(length), origin.address, MSG_DONTROUTE);
    }
}
