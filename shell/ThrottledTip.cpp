#include "shell/ThrottledTip.h"

#include "shell/TrayIcon.h"

CThrottledTip::CThrottledTip(CTrayIcon& icon, std::function<std::string()> text)
    : m_icon(icon), m_text(std::move(text)) {}

CThrottledTip::~CThrottledTip() {
    if (m_timer != 0) {
        m_reactor->StopTimer(m_timer);
    }
}

void CThrottledTip::Changed() {
    if (m_timer != 0) {
        return;  // the pending update shows the latest text
    }
    const auto since = std::chrono::steady_clock::now() - m_lastShown;
    const auto wait = std::chrono::milliseconds(kMinIntervalMs) -
                      std::chrono::duration_cast<std::chrono::milliseconds>(since);
    m_reactor = CReactor::Current();
    if (wait.count() <= 0 || m_reactor == nullptr) {
        Show();
        return;
    }
    m_timer = m_reactor->StartTimer(static_cast<int>(wait.count()), [this] {
        m_timer = 0;
        Show();
    });
}

void CThrottledTip::ShowNow() {
    if (m_timer != 0) {
        m_reactor->StopTimer(m_timer);
        m_timer = 0;
    }
    Show();
}

void CThrottledTip::Show() {
    std::string text = m_text();
    if (text != m_shown) {
        m_shown = std::move(text);
        m_icon.SetTip(m_shown);
        m_lastShown = std::chrono::steady_clock::now();
    }
}
