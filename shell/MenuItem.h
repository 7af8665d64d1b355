#pragma once

#include <vector>

// One line of a popup menu resource; id 0 is a separator.
struct MenuItem {
    const char* text;
    int id;
};

using MenuResource = std::vector<MenuItem>;

// A menu as it is shown: the resource's items with the default item and the check marks
// worked out when it opens.
struct ShownMenuItem {
    const char* text;
    int id;
    bool checked;
    bool isDefault;
};

using ShownMenu = std::vector<ShownMenuItem>;
