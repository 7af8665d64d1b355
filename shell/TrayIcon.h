#pragma once

#include <string>

#include "shell/MenuItem.h"
#include "shell/NotifyIconData.h"

class INotificationArea;
class ITrayOwner;

// The program's one icon in the notification area, with its popup menu. A member of the
// main window; removes the icon when it is destroyed.
//
// States: not added (enabled false), shown, hidden. The last image and tip are kept for
// the object's whole life, so an icon shown again carries the image set while it was
// hidden.
class CTrayIcon {
public:
    static constexpr int kInitialDefaultMenuItem = 3;

    explicit CTrayIcon(INotificationArea& area);
    virtual ~CTrayIcon();

    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon; `owner` receives its callbacks. False when there is no owner or the
    // desktop refuses the icon.
    bool Create(ITrayOwner* owner, int callbackMessage, const std::string& tip, int icon, int id);
    bool RemoveIcon();
    void HideIcon();
    void ShowIcon();

    // Changes the image to an icon resource (0 or a missing resource: no picture). Also
    // while hidden: the desktop call then fails, but the image is kept for ShowIcon.
    bool SetIcon(int resourceId);
    // Changes the tip (cut to the tip field's length), kept like the image while hidden.
    bool SetTip(const std::string& tip);

    // Handles the tray callback: a right-click opens the popup menu of the resource with
    // the icon's id, with the default item and the check marks of this moment.
    virtual long OnTrayNotification(int wParam, int lParam);

    // Hands the desktop the popup menu as it stands now. The main window calls it whenever
    // a check mark, the default item or an enabled state may have changed, so that a menu
    // the desktop keeps between openings never shows a past state.
    void UpdateMenu();

    // Shows a message beside the icon; nothing while the icon is hidden or not added.
    void ShowBalloon(const std::string& title, const std::string& text);

    // Zero-based position of the menu item drawn as the default (separators count); the
    // main window writes it directly.
    int m_defaultMenuItem = kInitialDefaultMenuItem;

    bool IsEnabled() const { return m_enabled; }
    bool IsHidden() const { return m_hidden; }
    const NotifyIconData& Data() const { return m_notifyData; }

private:
    // `menu` with the default item, check marks and enabled states of this moment.
    ShownMenu MenuNow(const MenuResource& menu) const;

    INotificationArea& m_area;
    ITrayOwner* m_owner = nullptr;
    bool m_enabled = false;
    bool m_hidden = false;
    NotifyIconData m_notifyData;
};
