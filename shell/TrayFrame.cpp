#include "shell/TrayFrame.h"

#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/WindowMessages.h"

CTrayFrame::CTrayFrame(const ProfileStore& profile, INotificationArea& area, Services services,
                       const MenuResource& menu, int trayIconId, CommonCommands common)
    : m_profile(profile),
      m_trayIcon(area),
      m_services(std::move(services)),
      m_menu(menu),
      m_trayIconId(trayIconId) {
    m_commands.Add(ID_APP_ABOUT, [this] {
        if (m_services.runAbout) {
            m_services.runAbout();
        }
    });
    m_commands.Add(ID_APP_EXIT, [this] { OnClose(); });
    m_commands.Add(common.hide, [this] { OnHide(); });
    m_commands.Add(
        common.hideOnStart, [this] { OnHideOnStart(); },
        [this] { return m_hideOnStartCheck == 1; });
}

bool CTrayFrame::CreateTrayIcon(const char* tip) {
    if (!m_trayIcon.Create(this, wm::kTrayNotify, tip, 0, m_trayIconId)) {
        return false;
    }
    const int hideOnStart = m_profile.ReadInt(profile::kPreferences, profile::kHideOnStart, 0);
    if (hideOnStart != 0) {
        m_trayIcon.HideIcon();
    }
    m_hideOnStartCheck = hideOnStart == 1 ? 1 : 0;
    m_trayIcon.UpdateMenu();
    return true;
}

void CTrayFrame::OnCommand(int id) {
    m_commands.Execute(id);
    m_trayIcon.UpdateMenu();
}

long CTrayFrame::OnTrayNotify(int wParam, int lParam) {
    if ((lParam & 0xFFFF) == wm::kLButtonDblClk) {
        ToggleService();
    }
    return m_trayIcon.OnTrayNotification(wParam, lParam);
}

const MenuResource* CTrayFrame::LoadMenu(int id) const {
    return id == m_trayIconId ? &m_menu : nullptr;
}

void CTrayFrame::OnClose() {
    if (m_services.closeWindow) {
        m_services.closeWindow();
    }
}

void CTrayFrame::OnHide() {
    if (m_trayIcon.IsHidden()) {
        m_trayIcon.ShowIcon();
    } else {
        m_trayIcon.HideIcon();
    }
}

void CTrayFrame::OnHideOnStart() {
    m_hideOnStartCheck = m_hideOnStartCheck != 0 ? 0 : 1;
    m_profile.WriteInt(profile::kPreferences, profile::kHideOnStart, m_hideOnStartCheck);
}
