#pragma once

#include <vector>

// One line of a popup menu resource; id 0 is a separator.
struct MenuItem {
    const char* text;
    int id;
};

using MenuResource = std::vector<MenuItem>;

// A menu as it is shown: the resource's items with the default item, the check marks and
// the enabled states of this moment.
struct ShownMenuItem {
    const char* text;
    int id;
    bool checked;
    bool isDefault;
    bool enabled = true;     // the window carries out the command
    bool checkable = false;  // the item has a check mark to show, on or off
};

using ShownMenu = std::vector<ShownMenuItem>;
