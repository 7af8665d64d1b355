#include "httpd/ListenSocket.h"

#include "httpd/ConnectionRoster.h"
#include "httpd/RequestSocket.h"

CListenSocket::CListenSocket(IImageServerHost& host, CKeptProfile& settings,
                             const std::string& imageFolder, CRandomGenerator& random,
                             CConnectionRoster& roster)
    : m_host(host),
      m_settings(settings),
      m_imageFolder(imageFolder),
      m_random(random),
      m_roster(roster) {}

CListenSocket::~CListenSocket() {
    m_roster.ForgetListener(*this);
}

void CListenSocket::OnAccept(int /*errorCode*/) {
    if (m_roster.IsFull()) {
        m_roster.HoldUntilRoom(*this);
        return;
    }
    // The connection object draws its image before the accept, so a failed accept still
    // uses up its draw.
    auto* connection = new CRequestSocket(m_host, m_settings, m_imageFolder, m_random, m_roster);
    if (!Accept(*connection)) {
        delete connection;
        return;
    }
    m_roster.Add(*connection);
    connection->AsyncSelect(FD_READ | FD_CLOSE);
}
