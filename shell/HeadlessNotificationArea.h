#pragma once

#include <set>
#include <string>

#include "shell/NotificationArea.h"

// The notification area of a program without a display: the icon's current state is kept
// and nothing is shown, and nothing else (a server that runs for weeks changes its image
// with every query). Also what the tests watch the tray icon through.
class CHeadlessNotificationArea : public INotificationArea {
public:
    // Icon resources that exist; any id is accepted when the set is empty.
    explicit CHeadlessNotificationArea(std::set<int> knownIcons = {});

    void SetOwner(ITrayOwner* owner) override { m_owner = owner; }
    bool Notify(NotifyMessage message, const NotifyIconData& data) override;
    bool HasIcon(int resourceId) const override;
    void TrackPopupMenu(const ShownMenu& menu) override { m_lastMenu = menu; }

    // Simulates the user: a double-click, or a right-click that opens the menu.
    long DoubleClick();
    long RightClick();
    // Chooses the item with this id from the last menu shown; false when it has none.
    bool Choose(int id);

    bool IsShown() const { return m_shown; }
    int Icon() const { return m_icon; }
    const std::string& Tip() const { return m_tip; }
    const ShownMenu& LastMenu() const { return m_lastMenu; }

private:
    std::set<int> m_knownIcons;
    ITrayOwner* m_owner = nullptr;
    bool m_shown = false;
    int m_id = 0;
    int m_icon = 0;
    std::string m_tip;
    ShownMenu m_lastMenu;
};
