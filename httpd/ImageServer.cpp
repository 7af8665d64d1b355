#include "httpd/ImageServer.h"

#include <sys/socket.h>

#include <unistd.h>

#include <climits>

#include "httpd/ImageServerHost.h"
#include "httpd/ListenSocket.h"
#include "net/ServiceFailure.h"
#include "settings/ProfileKeys.h"

namespace {

constexpr const char* kListenAddress = "127.0.0.1";
// The longest queue the system allows: under a page load's burst of connections a short
// queue overflows, and every connection that falls off waits a second for its retry.
constexpr int kListenBacklog = SOMAXCONN;

std::string CurrentFolder() {
    char folder[PATH_MAX];
    return ::getcwd(folder, sizeof folder) == nullptr ? std::string() : std::string(folder);
}

}  // namespace

CImageServer::CImageServer(IImageServerHost& host, const ProfileStore& profile, unsigned port,
                           const ConnectionLimits& limits)
    : m_host(host),
      m_settings(profile),
      m_imageFolder(CurrentFolder()),
      m_port(port),
      m_roster(limits) {
    // "Images" is read for every connection: from the kept copy, read again only after the
    // profile's folder reports a change.
    if (m_settings.WatchChanges() &&
        !m_settingsWatch.Start(m_settings.ChangeFd(), [this] { m_settings.TakeChanges(); })) {
        m_settings.StopWatching();
    }
}

CImageServer::~CImageServer() = default;

void CImageServer::StartImageServer() {
    StopImageServer();
    m_host.SetDefaultMenuItem(IImageServerHost::kStopMenuItem);
    // A listener that fails stays in place, unusable, until the next stop releases it.
    m_listener =
        std::make_unique<CListenSocket>(m_host, m_settings, m_imageFolder, m_random, m_roster);
    if (!m_listener->Create(m_port, SOCK_STREAM, FD_ACCEPT, kListenAddress)) {
        ReportServiceFailure("Quorvin", "bind", kListenAddress, m_port, SOCK_STREAM,
                             WSAGetLastError());
        return;
    }
    if (!m_listener->Listen(kListenBacklog)) {
        ReportServiceFailure("Quorvin", "listen on", kListenAddress, m_port, SOCK_STREAM,
                             WSAGetLastError());
        return;
    }
    m_running = true;
}

void CImageServer::StopImageServer() {
    m_host.SetDefaultMenuItem(IImageServerHost::kStartMenuItem);
    if (m_listener) {
        m_listener->Close();
        m_listener.reset();
        m_running = false;
    }
}

bool CImageServer::WriteUseImages(int value) {
    return m_settings.WriteInt(profile::kPreferences, profile::kImages, value);
}

unsigned CImageServer::Port() const {
    return m_running ? m_listener->LocalPort() : 0;
}

int CImageServer::ListenHandle() const {
    return m_running ? m_listener->Handle() : INVALID_SOCKET;
}
