#pragma once

#include "shell/MenuItem.h"

// The window a tray icon belongs to: it receives the icon's callback messages and the
// commands chosen from its popup menu, and it owns the menu resources.
class ITrayOwner {
public:
    virtual ~ITrayOwner() = default;

    // The tray callback message (wParam: icon id; lParam: mouse message).
    virtual long OnTrayNotify(int wParam, int lParam) = 0;
    // A command chosen from the popup menu.
    virtual void OnCommand(int id) = 0;
    // Whether the menu item with this id shows a check mark now.
    virtual bool IsCommandChecked(int id) const = 0;
    // Whether the window carries out the command with this id; its menu item is grayed
    // otherwise.
    virtual bool HasCommand(int id) const = 0;
    // Whether the menu item with this id has a check mark at all, shown or not.
    virtual bool HasCheckMark(int id) const = 0;
    // The popup menu resource with this id, or null when there is none.
    virtual const MenuResource* LoadMenu(int id) const = 0;
};
