#pragma once

#include <memory>
#include <string>

#include "httpd/ConnectionLimits.h"
#include "httpd/ConnectionRoster.h"
#include "httpd/RandomGenerator.h"
#include "net/ReadableWatch.h"
#include "settings/KeptProfile.h"

class CListenSocket;
class IImageServerHost;
class ProfileStore;

// The image server's state: the running flag, the one listening socket on 127.0.0.1, the
// image choice sequence of the process, the folder of the images (the current folder when
// it is made, which never changes), the kept "Images" setting and the roster of live
// connections. Owned by the main window for the life of the process. Connections outlive a
// stop: each one runs to its own end, or to the idle limit.
class CImageServer {
public:
    static constexpr unsigned kHttpPort = 80;

    // `port` 0 binds an ephemeral port (see Port). `limits` other than the defaults are for
    // tests that cannot wait for the idle limit or open hundreds of connections.
    CImageServer(IImageServerHost& host, const ProfileStore& profile, unsigned port = kHttpPort,
                 const ConnectionLimits& limits = {});
    ~CImageServer();
    CImageServer(const CImageServer&) = delete;
    CImageServer& operator=(const CImageServer&) = delete;

    // Closes any listening socket and binds again. A socket that cannot be created, bound or
    // set listening leaves the server stopped; the reason goes to standard error.
    void StartImageServer();
    // Closes the listening socket; open connections are not touched.
    void StopImageServer();

    bool IsRunning() const { return m_running; }
    // The port being listened on, 0 while stopped.
    unsigned Port() const;
    // Stores "Images"; the next connection sees it.
    bool WriteUseImages(int value);

    // The listening socket's handle while running, INVALID_SOCKET while stopped: for tools
    // that tune the socket (the load harness, the tests).
    int ListenHandle() const;

private:
    IImageServerHost& m_host;
    CKeptProfile m_settings;
    CReadableWatch m_settingsWatch;  // after m_settings: stops before the watch closes
    std::string m_imageFolder;
    const unsigned m_port;
    CRandomGenerator m_random;
    CConnectionRoster m_roster;
    bool m_running = false;
    std::unique_ptr<CListenSocket> m_listener;
};
