#pragma once

#include <map>
#include <string>
#include <vector>

// One item of a tray icon's menu as a panel receives it: its id and its properties, each
// value as gdbus prints it, strings without their quotes ("S_tart", "1", "true").
struct PanelMenuItem {
    int id = 0;
    std::map<std::string, std::string> properties;
};

// The menu of the first StatusNotifierItem on the session D-Bus, read the way a panel
// reads it (com.canonical.dbusmenu), through gdbus.
class PanelMenu {
public:
    // Waits up to `timeoutMs` for an item to register with the watcher and finds its menu.
    bool AwaitItem(int timeoutMs);
    // The menu's top-level items, as GetLayout returns them now.
    std::vector<PanelMenuItem> Layout() const;
    // Sends the click a panel sends when the user chooses the item.
    bool Click(int id) const;

private:
    std::string m_service;
    std::string m_menuPath;
};
