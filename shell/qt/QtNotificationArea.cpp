#include "shell/qt/QtNotificationArea.h"

#include <QApplication>
#include <QFont>

#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

CQtNotificationArea::CQtNotificationArea(const QString& program) : m_icons(program) {
    m_imageTimer.setSingleShot(true);
    connect(&m_imageTimer, &QTimer::timeout, this, [this] { ShowImage(); });
    connect(&m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    connect(&m_menu, &QMenu::aboutToShow, this, [this] { OnMenuAboutToShow(); });
    m_tray.setContextMenu(&m_menu);
}

CQtNotificationArea::~CQtNotificationArea() {
    m_tray.hide();
}

void CQtNotificationArea::ShowBalloon(const std::string& title, const std::string& text) {
    m_tray.showMessage(QString::fromLocal8Bit(title.c_str()), QString::fromLocal8Bit(text.c_str()));
}

bool CQtNotificationArea::Notify(NotifyMessage message, const NotifyIconData& data) {
    switch (message) {
        case NotifyMessage::kAdd:
            if (m_added) {
                return false;
            }
            m_added = true;
            m_id = data.id;
            m_tray.setToolTip(QString::fromLocal8Bit(data.tip.c_str()));
            m_wantedIcon = data.icon;
            ShowImage();
            return true;
        case NotifyMessage::kModify:
            if (!m_added) {
                return false;
            }
            if ((data.flags & NotifyIconData::kFlagTip) != 0) {
                m_tray.setToolTip(QString::fromLocal8Bit(data.tip.c_str()));
            }
            if ((data.flags & NotifyIconData::kFlagIcon) != 0) {
                RequestImage(data.icon);
            }
            return true;
        case NotifyMessage::kDelete:
            if (!m_added) {
                return false;
            }
            m_added = false;
            m_imageTimer.stop();
            m_tray.hide();
            return true;
    }
    return false;
}

bool CQtNotificationArea::HasIcon(int resourceId) const {
    return m_icons.Has(resourceId);
}

void CQtNotificationArea::RequestImage(int icon) {
    m_wantedIcon = icon;
    if (m_imageTimer.isActive()) {
        return;  // the pending update will show the latest image
    }
    const qint64 since = m_sinceImage.isValid() ? m_sinceImage.elapsed() : kMinImageIntervalMs;
    if (since >= kMinImageIntervalMs) {
        ShowImage();
    } else {
        m_imageTimer.start(static_cast<int>(kMinImageIntervalMs - since));
    }
}

void CQtNotificationArea::ShowImage() {
    if (m_wantedIcon != m_shownIcon) {
        m_shownIcon = m_wantedIcon;
        m_tray.setIcon(m_icons.Icon(m_shownIcon));
        if (m_shownIcon != 0) {
            m_sinceImage.start();
        }
    }
    // An icon without a picture would be an empty slot in the panel; it appears with its
    // first image.
    if (m_added && !m_tray.icon().isNull() && !m_tray.isVisible()) {
        m_tray.show();
    }
}

void CQtNotificationArea::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (m_owner == nullptr || !m_added) {
        return;
    }
    if (reason == QSystemTrayIcon::DoubleClick) {
        m_sinceTrigger.invalidate();
        m_owner->OnTrayNotify(m_id, wm::kLButtonDblClk);
    } else if (reason == QSystemTrayIcon::Trigger) {
        // Hosts that report only single activations: two within the double-click
        // interval are one double-click.
        if (m_sinceTrigger.isValid() &&
            m_sinceTrigger.elapsed() <= QApplication::doubleClickInterval()) {
            m_sinceTrigger.invalidate();
            m_owner->OnTrayNotify(m_id, wm::kLButtonDblClk);
        } else {
            m_sinceTrigger.start();
        }
    }
}

void CQtNotificationArea::OnMenuAboutToShow() {
    if (m_owner != nullptr) {
        m_owner->OnTrayNotify(m_id, wm::kRButtonUp);
    }
}

void CQtNotificationArea::ApplyMenu(const ShownMenu& menu) {
    QList<QAction*> actions = m_menu.actions();
    if (actions.size() != static_cast<qsizetype>(menu.size())) {
        m_menu.clear();
        AddMenuItems(menu);
        actions = m_menu.actions();
    }
    for (std::size_t position = 0; position < menu.size(); ++position) {
        const ShownMenuItem& item = menu[position];
        QAction* action = actions[static_cast<qsizetype>(position)];
        if (item.id == 0) {
            continue;
        }
        action->setCheckable(item.checkable || item.checked);
        action->setChecked(item.checked);
        action->setEnabled(item.enabled);
        if (action->font().bold() != item.isDefault) {
            QFont font = action->font();
            font.setBold(item.isDefault);
            action->setFont(font);
        }
    }
}

void CQtNotificationArea::AddMenuItems(const ShownMenu& menu) {
    for (const ShownMenuItem& item : menu) {
        if (item.id == 0) {
            m_menu.addSeparator();
            continue;
        }
        QAction* action = m_menu.addAction(QString::fromLocal8Bit(item.text));
        action->setObjectName(QString::number(item.id));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
            if (m_owner != nullptr) {
                m_owner->OnCommand(id);
            }
        });
    }
}
