#pragma once

#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include "shell/NotificationArea.h"
#include "shell/qt/IconLibrary.h"

// The notification area of a graphical session, through QSystemTrayIcon (a
// StatusNotifierItem or an XEmbed tray icon, as Qt finds). The icon is kept even while no
// panel exists yet: Qt docks it as soon as one appears.
//
// The popup menu is one QMenu for the icon's life, filled when the owner first hands over
// its menu and updated in place after that: a panel that talks D-Bus fetches the menu
// before it ever opens it and keeps following the same items.
//
// Image changes reach the desktop only when the image really changes, and at most about
// twenty times a second, the latest image winning: over D-Bus each change is a signal to
// the panel, and a busy server would flood the session bus.
class CQtNotificationArea : public QObject, public INotificationArea {
public:
    static constexpr int kMinImageIntervalMs = 50;

    explicit CQtNotificationArea(const QString& program);
    ~CQtNotificationArea() override;

    void SetOwner(ITrayOwner* owner) override { m_owner = owner; }
    bool Notify(NotifyMessage message, const NotifyIconData& data) override;
    bool HasIcon(int resourceId) const override;
    void TrackPopupMenu(const ShownMenu& menu) override { ApplyMenu(menu); }
    void UpdateMenu(const ShownMenu& menu) override { ApplyMenu(menu); }
    void ShowBalloon(const std::string& title, const std::string& text) override;

    // What the desktop shows, for tests.
    QSystemTrayIcon& TrayIcon() { return m_tray; }
    QMenu& Menu() { return m_menu; }
    int ShownIcon() const { return m_shownIcon; }

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnMenuAboutToShow();
    // Fills the menu the first time, then sets each item's check mark, default font and
    // enabled state to `menu`'s.
    void ApplyMenu(const ShownMenu& menu);
    void AddMenuItems(const ShownMenu& menu);
    void RequestImage(int icon);
    void ShowImage();

    mutable CIconLibrary m_icons;
    QSystemTrayIcon m_tray;
    QMenu m_menu;
    QTimer m_imageTimer;
    QElapsedTimer m_sinceImage;
    QElapsedTimer m_sinceTrigger;
    ITrayOwner* m_owner = nullptr;
    bool m_added = false;
    int m_id = 0;
    int m_wantedIcon = 0;
    int m_shownIcon = -1;
};
