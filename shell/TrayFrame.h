#pragma once

#include <functional>

#include "shell/CommandTable.h"
#include "shell/MenuItem.h"
#include "shell/TrayIcon.h"
#include "shell/TrayOwner.h"

class INotificationArea;
class ProfileStore;

// What both programs' main windows share: never shown, they own the tray icon with its
// popup menu, carry out every command through one command table (whether it comes from
// the menu, a double-click or a second start), and handle About, Exit, Hide and Hide on
// Start alike. Each program's window adds its service and its own commands.
class CTrayFrame : public ITrayOwner {
public:
    // What the window asks of the application around it.
    struct Services {
        std::function<void()> runAbout;     // the About command
        std::function<void()> closeWindow;  // the Exit command: end the message loop
    };

    // The ids of the commands every window has, in its program's numbering.
    struct CommonCommands {
        int hide;
        int hideOnStart;
    };

    CTrayFrame(const CTrayFrame&) = delete;
    CTrayFrame& operator=(const CTrayFrame&) = delete;

    // ITrayOwner
    long OnTrayNotify(int wParam, int lParam) override;
    // Carries out the command, then shows its effect in the menu.
    void OnCommand(int id) override;
    bool IsCommandChecked(int id) const override { return m_commands.IsChecked(id); }
    bool HasCommand(int id) const override { return m_commands.Has(id); }
    bool HasCheckMark(int id) const override { return m_commands.HasCheck(id); }
    const MenuResource* LoadMenu(int id) const override;

    CTrayIcon& TrayIcon() { return m_trayIcon; }
    bool HideOnStartChecked() const { return m_hideOnStartCheck == 1; }

protected:
    // `profile` and `area` must outlive the window; `menu` is the popup menu resource, with
    // the tray icon's id.
    CTrayFrame(const ProfileStore& profile, INotificationArea& area, Services services,
               const MenuResource& menu, int trayIconId, CommonCommands common);
    ~CTrayFrame() override = default;

    // Adds the tray icon with `tip`, hides it when HideOnStart is set, takes the Hide on
    // Start check from it and hands the desktop the menu. False when the icon cannot be
    // added.
    bool CreateTrayIcon(const char* tip);

    // The service's start or stop, which a double-click on the icon runs. Starting or
    // stopping the service, whatever runs it, ends with m_trayIcon.UpdateMenu().
    virtual void ToggleService() = 0;
    // The Exit command; a window with something to stop first overrides it.
    virtual void OnClose();

    const ProfileStore& m_profile;
    CCommandTable m_commands;
    CTrayIcon m_trayIcon;

private:
    void OnHide();
    void OnHideOnStart();

    Services m_services;
    const MenuResource& m_menu;
    const int m_trayIconId;
    int m_hideOnStartCheck = 0;
};
