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
    void TrackPopupMenu(const ShownMenu& menu) override;

    // What the desktop shows, for tests.
    QSystemTrayIcon& TrayIcon() { return m_tray; }
    QMenu& Menu() { return m_menu; }
    int ShownIcon() const { return m_shownIcon; }

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnMenuAboutToShow();
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
