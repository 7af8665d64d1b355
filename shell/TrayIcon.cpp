#include "shell/TrayIcon.h"

#include "shell/NotificationArea.h"
#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

CTrayIcon::CTrayIcon(INotificationArea& area) : m_area(area) {}

CTrayIcon::~CTrayIcon() {
    RemoveIcon();
}

bool CTrayIcon::Create(ITrayOwner* owner, int callbackMessage, const std::string& tip, int icon,
                       int id) {
    m_enabled = owner != nullptr;
    if (!m_enabled) {
        return false;
    }
    m_owner = owner;
    m_area.SetOwner(owner);
    m_notifyData.id = id;
    m_notifyData.flags = NotifyIconData::kFlagsAll;
    m_notifyData.icon = icon;
    m_notifyData.callbackMessage = callbackMessage;
    m_notifyData.tip = tip.substr(0, NotifyIconData::kMaxTipLength);
    m_enabled = m_area.Notify(NotifyMessage::kAdd, m_notifyData);
    return m_enabled;
}

bool CTrayIcon::RemoveIcon() {
    if (!m_enabled) {
        return false;
    }
    m_notifyData.flags = 0;
    const bool removed = m_area.Notify(NotifyMessage::kDelete, m_notifyData);
    m_enabled = false;
    return removed;
}

void CTrayIcon::HideIcon() {
    if (m_enabled && !m_hidden) {
        m_notifyData.flags = NotifyIconData::kFlagIcon;
        m_area.Notify(NotifyMessage::kDelete, m_notifyData);
        m_hidden = true;
    }
}

void CTrayIcon::ShowIcon() {
    if (m_enabled && m_hidden) {
        m_notifyData.flags = NotifyIconData::kFlagsAll;
        m_area.Notify(NotifyMessage::kAdd, m_notifyData);
        m_hidden = false;
    }
}

bool CTrayIcon::SetIcon(int resourceId) {
    const int icon = m_area.HasIcon(resourceId) ? resourceId : 0;
    if (!m_enabled) {
        return false;
    }
    m_notifyData.flags = NotifyIconData::kFlagIcon;
    m_notifyData.icon = icon;
    return m_area.Notify(NotifyMessage::kModify, m_notifyData);
}

bool CTrayIcon::SetTip(const std::string& tip) {
    m_notifyData.tip = tip.substr(0, NotifyIconData::kMaxTipLength);
    if (!m_enabled) {
        return false;
    }
    m_notifyData.flags = NotifyIconData::kFlagTip;
    return m_area.Notify(NotifyMessage::kModify, m_notifyData);
}

long CTrayIcon::OnTrayNotification(int wParam, int lParam) {
    if (wParam != m_notifyData.id || m_owner == nullptr) {
        return 0;
    }
    const int mouseMessage = lParam & 0xFFFF;
    if (mouseMessage != wm::kRButtonUp && mouseMessage != wm::kLButtonDblClk) {
        return 1;
    }
    const MenuResource* menu = m_owner->LoadMenu(m_notifyData.id);
    if (menu == nullptr || menu->empty()) {
        return 0;
    }
    if (mouseMessage == wm::kRButtonUp) {
        m_area.TrackPopupMenu(MenuNow(*menu));
    }
    return 1;
}

void CTrayIcon::UpdateMenu() {
    if (!m_enabled || m_owner == nullptr) {
        return;
    }
    const MenuResource* menu = m_owner->LoadMenu(m_notifyData.id);
    if (menu != nullptr && !menu->empty()) {
        m_area.UpdateMenu(MenuNow(*menu));
    }
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (m_enabled && !m_hidden) {
        m_area.ShowBalloon(title, text);
    }
}

ShownMenu CTrayIcon::MenuNow(const MenuResource& menu) const {
    ShownMenu shown;
    shown.reserve(menu.size());
    for (std::size_t position = 0; position < menu.size(); ++position) {
        const MenuItem& item = menu[position];
        const bool command = item.id != 0;
        shown.push_back(ShownMenuItem{
            item.text, item.id, command && m_owner->IsCommandChecked(item.id),
            static_cast<int>(position) == m_defaultMenuItem,
            command && m_owner->HasCommand(item.id), command && m_owner->HasCheckMark(item.id)});
    }
    return shown;
}
