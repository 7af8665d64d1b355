#pragma once

#include <string>

// What a tray icon hands the notification area on every call: which icon of which
// owner, what is set by this call, the image and the tip.
struct NotifyIconData {
    static constexpr int kFlagMessage = 1;
    static constexpr int kFlagIcon = 2;
    static constexpr int kFlagTip = 4;
    static constexpr int kFlagsAll = kFlagMessage | kFlagIcon | kFlagTip;
    static constexpr std::size_t kMaxTipLength = 63;

    int id = 0;
    int flags = 0;
    int callbackMessage = 0;
    int icon = 0;  // an icon resource id; 0 is the null icon (no picture)
    std::string tip;
};

enum class NotifyMessage { kAdd = 0, kModify = 1, kDelete = 2 };
