#pragma once

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
};
