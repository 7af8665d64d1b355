#include "shell/HeadlessNotificationArea.h"

#include <algorithm>

#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

CHeadlessNotificationArea::CHeadlessNotificationArea(std::set<int> knownIcons)
    : m_knownIcons(std::move(knownIcons)) {}

bool CHeadlessNotificationArea::Notify(NotifyMessage message, const NotifyIconData& data) {
    switch (message) {
        case NotifyMessage::kAdd:
            if (m_shown) {
                return false;
            }
            m_shown = true;
            m_id = data.id;
            m_tip = data.tip;
            m_icon = data.icon;
            return true;
        case NotifyMessage::kModify:
            if (!m_shown) {
                return false;
            }
            if ((data.flags & NotifyIconData::kFlagIcon) != 0) {
                m_icon = data.icon;
            }
            if ((data.flags & NotifyIconData::kFlagTip) != 0) {
                m_tip = data.tip;
            }
            return true;
        case NotifyMessage::kDelete:
            if (!m_shown) {
                return false;
            }
            m_shown = false;
            return true;
    }
    return false;
}

bool CHeadlessNotificationArea::HasIcon(int resourceId) const {
    return m_knownIcons.empty() ? resourceId != 0 : m_knownIcons.count(resourceId) != 0;
}

long CHeadlessNotificationArea::DoubleClick() {
    if (!m_shown || m_owner == nullptr) {
        return 0;
    }
    return m_owner->OnTrayNotify(m_id, wm::kLButtonDblClk);
}

long CHeadlessNotificationArea::RightClick() {
    if (!m_shown || m_owner == nullptr) {
        return 0;
    }
    m_lastMenu.clear();
    return m_owner->OnTrayNotify(m_id, wm::kRButtonUp);
}

bool CHeadlessNotificationArea::Choose(int id) {
    const bool offered = std::any_of(m_lastMenu.begin(), m_lastMenu.end(),
                                     [id](const ShownMenuItem& item) { return item.id == id; });
    if (!offered || id == 0 || m_owner == nullptr) {
        return false;
    }
    m_owner->OnCommand(id);
    return true;
}
