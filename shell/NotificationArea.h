#pragma once

#include <string>

#include "shell/MenuItem.h"
#include "shell/NotifyIconData.h"

class ITrayOwner;

// The desktop's notification area, as a tray icon sees it. Events on the icon (a
// double-click, a menu about to open) go to the owner as tray callback messages; a
// chosen menu item goes to the owner as a command.
class INotificationArea {
public:
    virtual ~INotificationArea() = default;

    virtual void SetOwner(ITrayOwner* owner) = 0;
    // Adds, changes or deletes the icon; false when the desktop refuses.
    virtual bool Notify(NotifyMessage message, const NotifyIconData& data) = 0;
    // Whether an icon resource with this id exists.
    virtual bool HasIcon(int resourceId) const = 0;
    // Presents the popup menu that is opening.
    virtual void TrackPopupMenu(const ShownMenu& menu) = 0;
    // The popup menu as it stands after a change of its check marks, default item or
    // enabled states. A desktop that keeps one menu for the icon's life (a panel fetches it
    // over D-Bus and may not ask again when it opens) updates that menu in place; one that
    // builds the menu only when it opens has nothing to do.
    virtual void UpdateMenu(const ShownMenu& /*menu*/) {}
    // Shows a short message beside the icon, which goes away by itself. A desktop without a
    // display shows nothing.
    virtual void ShowBalloon(const std::string& /*title*/, const std::string& /*text*/) {}
};
