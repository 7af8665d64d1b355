#include "httpd/ListenSocket.h"

#include "httpd/RequestSocket.h"

CListenSocket::CListenSocket(IImageServerHost& host, CKeptProfile& settings,
                             const std::string& imageFolder, CRandomGenerator& random)
    : m_host(host), m_settings(settings), m_imageFolder(imageFolder), m_random(random) {}

void CListenSocket::OnAccept(int /*errorCode*/) {
    // The connection object draws its image before the accept, so a failed accept still
    // uses up its draw.
    auto* connection = new CRequestSocket(m_host, m_settings, m_imageFolder, m_random);
    if (!Accept(*connection)) {
        delete connection;
        return;
    }
    connection->AsyncSelect(FD_READ | FD_CLOSE);
}
