#pragma once

#include "shell/MenuItem.h"

// Nimbrel's command ids: its tray menu items, and what a second start posts.
namespace nimbrel {

inline constexpr int ID_START = 32773;
inline constexpr int ID_STOP = 32774;
inline constexpr int ID_HIDE = 32775;
inline constexpr int ID_HIDE_ON_START = 32776;
inline constexpr int ID_LOAD_FILTERS = 32777;
inline constexpr int ID_IP_INFO = 32778;
inline constexpr int ID_PROXY_DNS = 32779;
inline constexpr int ID_MODIFY_NAMED = 32780;
inline constexpr int ID_MODIFY_PASS = 32781;
inline constexpr int ID_SELECT_FILTER_FOLDER = 32783;
inline constexpr int ID_ACTIVITY = 32790;
inline constexpr int ID_UPDATE_LISTS = 32791;
inline constexpr int ID_BLOCK_LISTS = 32792;

// The tray icon's id, which is also the id of its popup menu.
inline constexpr int kTrayIconId = 130;

// Default menu item positions while stopped and while running.
inline constexpr int kStartMenuItem = 6;
inline constexpr int kStopMenuItem = 7;

// The tray popup menu.
const MenuResource& TrayMenu();

}  // namespace nimbrel
