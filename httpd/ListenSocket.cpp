#include "httpd/ListenSocket.h"

#include "httpd/RequestSocket.h"

CListenSocket::CListenSocket(IImageServerHost& host, const ProfileStore& profile,
                             CRandomGenerator& random)
    : m_host(host), m_profile(profile), m_random(random) {}

void CListenSocket::OnAccept(int /*errorCode*/) {
    // The connection object draws its image before the accept, so a failed accept still
    // uses up its draw.
    auto* connection = new CRequestSocket(m_host, m_profile, m_random);
    if (!Accept(*connection)) {
        delete connection;
        return;
    }
    connection->AsyncSelect(FD_READ | FD_CLOSE);
}
