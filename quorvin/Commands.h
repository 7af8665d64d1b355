#pragma once

#include "shell/MenuItem.h"

// Quorvin's command ids: its tray menu items, and what a second start posts.
namespace quorvin {

inline constexpr int ID_START = 32771;
inline constexpr int ID_STOP = 32772;
inline constexpr int ID_HIDE = 32773;
inline constexpr int ID_HIDE_ON_START = 32775;
inline constexpr int ID_USE_IMAGES = 32776;

// The tray icon's id, which is also the id of its popup menu.
inline constexpr int kTrayIconId = 130;

// The tray popup menu.
const MenuResource& TrayMenu();

}  // namespace quorvin
