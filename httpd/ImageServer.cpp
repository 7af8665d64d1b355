#include "httpd/ImageServer.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "httpd/ImageServerHost.h"
#include "httpd/ListenSocket.h"

namespace {

constexpr const char* kListenAddress = "127.0.0.1";
constexpr int kListenBacklog = 5;

}  // namespace

CImageServer::CImageServer(IImageServerHost& host, const ProfileStore& profile, unsigned port)
    : m_host(host), m_profile(profile), m_port(port) {}

CImageServer::~CImageServer() = default;

void CImageServer::StartImageServer() {
    StopImageServer();
    m_host.SetDefaultMenuItem(IImageServerHost::kStopMenuItem);
    // A listener that fails stays in place, unusable, until the next stop releases it.
    m_listener = std::make_unique<CListenSocket>(m_host, m_profile, m_random);
    if (!m_listener->Create(m_port, SOCK_STREAM, FD_ACCEPT, kListenAddress)) {
        ReportStartFailure("bind", WSAGetLastError());
        return;
    }
    if (::listen(m_listener->Handle(), kListenBacklog) == SOCKET_ERROR) {
        ReportStartFailure("listen on", errno);
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

unsigned CImageServer::Port() const {
    return m_running ? m_listener->LocalPort() : 0;
}

int CImageServer::ListenHandle() const {
    return m_running ? m_listener->Handle() : INVALID_SOCKET;
}

void CImageServer::ReportStartFailure(const char* step, int error) const {
    const int reason = error == WSAEINVAL ? EINVAL : error;
    std::fprintf(stderr, "Quorvin: cannot %s %s:%u: %s\n", step, kListenAddress, m_port,
                 std::strerror(reason));
}
