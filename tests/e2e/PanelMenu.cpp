#include "PanelMenu.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <regex>
#include <thread>

namespace {

// Runs a shell command; its standard output, empty when it failed.
std::string Output(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string text;
    std::array<char, 4096> chunk{};
    while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) {
        text.append(chunk.data(), n);
    }
    return ::pclose(pipe) == 0 ? text : std::string();
}

std::string Call(const std::string& service, const std::string& path, const std::string& method,
                 const std::string& args) {
    return Output("gdbus call --session --dest '" + service + "' --object-path '" + path +
                  "' --method " + method + " " + args);
}

}  // namespace

bool PanelMenu::AwaitItem(int timeoutMs) {
    static const std::regex kItem(R"('(:[0-9.]+)(/[A-Za-z0-9_/]+)')");
    static const std::regex kPath(R"(objectpath '([^']+)')");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string items =
            Call("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                 "org.freedesktop.DBus.Properties.Get",
                 "org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems");
        std::smatch item;
        if (std::regex_search(items, item, kItem)) {
            const std::string menu = Call(item[1], item[2], "org.freedesktop.DBus.Properties.Get",
                                          "org.kde.StatusNotifierItem Menu");
            std::smatch path;
            if (std::regex_search(menu, path, kPath)) {
                m_service = item[1];
                m_menuPath = path[1];
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::vector<PanelMenuItem> PanelMenu::Layout() const {
    // Each child: <(id, {'name': <value>, ...}, @av [])>
    static const std::regex kChild(R"(<\((\d+), \{([^}]*)\}, @av \[\]\)>)");
    static const std::regex kProperty(R"('([a-z-]+)': <'?([^'>]*)'?>)");
    const std::string layout =
        Call(m_service, m_menuPath, "com.canonical.dbusmenu.GetLayout", "-- 0 1 '@as []'");
    std::vector<PanelMenuItem> items;
    for (auto child = std::sregex_iterator(layout.begin(), layout.end(), kChild);
         child != std::sregex_iterator(); ++child) {
        PanelMenuItem item{std::stoi((*child)[1]), {}};
        const std::string properties = (*child)[2];
        for (auto property = std::sregex_iterator(properties.begin(), properties.end(), kProperty);
             property != std::sregex_iterator(); ++property) {
            item.properties[(*property)[1]] = (*property)[2];
        }
        items.push_back(item);
    }
    return items;
}

bool PanelMenu::Click(int id) const {
    return !Call(m_service, m_menuPath, "com.canonical.dbusmenu.Event",
                 std::to_string(id) + " clicked '<0>' 0")
                .empty();
}
