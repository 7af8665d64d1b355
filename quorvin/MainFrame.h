#pragma once

#include "httpd/ImageServer.h"
#include "httpd/ImageServerHost.h"
#include "shell/ThrottledTip.h"
#include "shell/TrayFrame.h"

class INotificationArea;
class ProfileStore;

namespace quorvin {

// Quorvin's main window: never shown, found by its title, it owns the tray icon and the
// image server, makes the icon blink while connections work, counts the requests (shown in
// the tray tip), and carries out every command, whether from the tray menu, a double-click
// or a second start.
class CMainFrame : public CTrayFrame, public IImageServerHost {
public:
    static constexpr const char* kTitle = "QUORVIN";

    // `profile` and `area` must outlive the window. `httpPort` stays 80 in the program.
    CMainFrame(const ProfileStore& profile, INotificationArea& area, Services services,
               unsigned httpPort = CImageServer::kHttpPort);
    ~CMainFrame() override;

    // Adds the tray icon, applies the settings and starts the image server. False when
    // the icon cannot be added.
    bool Create();

    void ToggleImageServer();

    // IImageServerHost
    void SetActivityFlag(bool active) override { m_activityFlag = active; }
    void UpdateActivityIcon() override;
    void SetDefaultMenuItem(int position) override { m_trayIcon.m_defaultMenuItem = position; }
    void CountRequest(httpd::RequestOutcome outcome) override;

    bool IsRunning() const { return m_server.IsRunning(); }
    unsigned HttpPort() const { return m_server.Port(); }
    // The requests ended since the program started.
    const httpd::RequestCounters& Requests() const { return m_requests; }

private:
    void ToggleService() override { ToggleImageServer(); }
    // Stops the listener before the window closes.
    void OnClose() override;
    void OnUseImages();

    int m_useImagesCheck = 0;
    bool m_activityFlag = false;
    int m_lastFrame = 0;  // none shown yet
    CImageServer m_server;
    httpd::RequestCounters m_requests;
    CThrottledTip m_tip;
};

}  // namespace quorvin
