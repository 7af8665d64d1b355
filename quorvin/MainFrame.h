#pragma once

#include <functional>

#include "httpd/ImageServer.h"
#include "httpd/ImageServerHost.h"
#include "shell/CommandTable.h"
#include "shell/TrayIcon.h"
#include "shell/TrayOwner.h"

class INotificationArea;
class ProfileStore;

namespace quorvin {

// Quorvin's main window: never shown, found by its title, it owns the tray icon and the
// image server, makes the icon blink while connections work, and carries out every
// command, whether from the tray menu, a double-click or a second start.
class CMainFrame : public ITrayOwner, public IImageServerHost {
public:
    static constexpr const char* kTitle = "QUORVIN";

    // What the window asks of the application around it.
    struct Services {
        std::function<void()> runAbout;     // the About command
        std::function<void()> closeWindow;  // the Exit command: end the message loop
    };

    // `profile` and `area` must outlive the window. `httpPort` stays 80 in the program.
    CMainFrame(const ProfileStore& profile, INotificationArea& area, Services services,
               unsigned httpPort = CImageServer::kHttpPort);
    ~CMainFrame() override;

    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Adds the tray icon, applies the settings and starts the image server. False when
    // the icon cannot be added.
    bool Create();

    void ToggleImageServer();

    // ITrayOwner
    long OnTrayNotify(int wParam, int lParam) override;
    void OnCommand(int id) override;
    bool IsCommandChecked(int id) const override;
    const MenuResource* LoadMenu(int id) const override;

    // IImageServerHost
    void SetActivityFlag(bool active) override { m_activityFlag = active; }
    void UpdateActivityIcon() override;
    void SetDefaultMenuItem(int position) override { m_trayIcon.m_defaultMenuItem = position; }

    bool IsRunning() const { return m_server.IsRunning(); }
    unsigned HttpPort() const { return m_server.Port(); }
    CTrayIcon& TrayIcon() { return m_trayIcon; }

private:
    void BuildCommandTable();
    void OnHide();
    void OnHideOnStart();
    void OnUseImages();
    void OnClose();

    const ProfileStore& m_profile;
    Services m_services;
    CCommandTable m_commands;
    CTrayIcon m_trayIcon;
    int m_useImagesCheck = 0;
    int m_hideOnStartCheck = 0;
    bool m_activityFlag = false;
    int m_lastFrame = 0;  // none shown yet
    CImageServer m_server;
};

}  // namespace quorvin
