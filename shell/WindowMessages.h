#pragma once

// Message and command numbers the shell shares with the tray menus and a second start.
namespace wm {

inline constexpr int kUser = 0x0400;
// The tray icon's callback message.
inline constexpr int kTrayNotify = kUser + 10;
// Mouse messages a tray callback carries.
inline constexpr int kLButtonDblClk = 0x0203;
inline constexpr int kRButtonUp = 0x0205;

}  // namespace wm

// Standard command ids both programs use.
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
