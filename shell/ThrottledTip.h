#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "net/Reactor.h"

class CTrayIcon;

// The tray tip of a busy service: its text is asked for when it may have changed, and
// reaches the icon only when it did change, at most once a second (the latest text wins),
// since each change is a message to the panel. A member of the main window, next to its
// tray icon, which must outlive it.
class CThrottledTip {
public:
    static constexpr int kMinIntervalMs = 1000;

    CThrottledTip(CTrayIcon& icon, std::function<std::string()> text);
    ~CThrottledTip();

    CThrottledTip(const CThrottledTip&) = delete;
    CThrottledTip& operator=(const CThrottledTip&) = delete;

    // The text may have changed: shown now, or once a second has passed since the last one.
    void Changed();
    // Shown now (a start or a stop), whenever the last one was.
    void ShowNow();

private:
    void Show();

    CTrayIcon& m_icon;
    std::function<std::string()> m_text;
    std::string m_shown;
    CReactor* m_reactor = nullptr;
    CReactor::TimerId m_timer = 0;
    std::chrono::steady_clock::time_point m_lastShown{};
};
