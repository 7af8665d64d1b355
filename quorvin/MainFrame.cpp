#include "quorvin/MainFrame.h"

#include "quorvin/Commands.h"
#include "settings/ProfileStore.h"
#include "shell/WindowMessages.h"

namespace quorvin {
namespace {

constexpr int kStoppedIcon = 129;
constexpr int kRunningIcon = 130;
constexpr int kOtherFrameIcon = 131;

constexpr const char* kTip = "Quorvin";

}  // namespace

CMainFrame::CMainFrame(const ProfileStore& profile, INotificationArea& area, Services services,
                       unsigned httpPort)
    : m_profile(profile),
      m_services(std::move(services)),
      m_trayIcon(area),
      m_server(*this, profile, httpPort) {
    BuildCommandTable();
}

CMainFrame::~CMainFrame() {
    m_activityFlag = false;
    m_server.StopImageServer();
}

void CMainFrame::BuildCommandTable() {
    m_commands.Add(ID_APP_ABOUT, [this] {
        if (m_services.runAbout) {
            m_services.runAbout();
        }
    });
    m_commands.Add(
        ID_START, [this] { ToggleImageServer(); }, [this] { return IsRunning(); });
    m_commands.Add(
        ID_STOP, [this] { ToggleImageServer(); }, [this] { return !IsRunning(); });
    m_commands.Add(ID_HIDE, [this] { OnHide(); });
    m_commands.Add(
        ID_HIDE_ON_START, [this] { OnHideOnStart(); }, [this] { return m_hideOnStartCheck == 1; });
    m_commands.Add(
        ID_USE_IMAGES, [this] { OnUseImages(); }, [this] { return m_useImagesCheck == 1; });
    m_commands.Add(ID_APP_EXIT, [this] { OnClose(); });
}

bool CMainFrame::Create() {
    if (!m_trayIcon.Create(this, wm::kTrayNotify, kTip, 0, kTrayIconId)) {
        return false;
    }
    m_useImagesCheck = m_profile.ReadInt("Preferences", "Images", 1) == 1 ? 1 : 0;
    const int hideOnStart = m_profile.ReadInt("Preferences", "HideOnStart", 0);
    if (hideOnStart != 0) {
        m_trayIcon.HideIcon();
    }
    m_hideOnStartCheck = hideOnStart == 1 ? 1 : 0;
    m_trayIcon.SetIcon(kStoppedIcon);
    ToggleImageServer();
    return true;
}

void CMainFrame::ToggleImageServer() {
    if (m_server.IsRunning()) {
        m_trayIcon.SetIcon(kStoppedIcon);
        m_server.StopImageServer();
        return;
    }
    m_trayIcon.SetIcon(kRunningIcon);
    m_server.StartImageServer();
    if (!m_server.IsRunning()) {
        // Nothing is served: the tray must not claim otherwise.
        m_trayIcon.SetIcon(kStoppedIcon);
    }
}

void CMainFrame::UpdateActivityIcon() {
    if (m_activityFlag) {
        m_lastFrame = m_lastFrame == kRunningIcon ? kOtherFrameIcon : kRunningIcon;
        m_trayIcon.SetIcon(m_lastFrame);
    } else {
        m_trayIcon.SetIcon(m_server.IsRunning() ? kRunningIcon : kStoppedIcon);
    }
}

void CMainFrame::OnHide() {
    if (m_trayIcon.IsHidden()) {
        m_trayIcon.ShowIcon();
    } else {
        m_trayIcon.HideIcon();
    }
}

void CMainFrame::OnHideOnStart() {
    m_hideOnStartCheck = m_hideOnStartCheck != 0 ? 0 : 1;
    m_profile.WriteInt("Preferences", "HideOnStart", m_hideOnStartCheck);
}

void CMainFrame::OnUseImages() {
    m_profile.WriteInt("Preferences", "Images", m_useImagesCheck == 0 ? 1 : 0);
    m_useImagesCheck = m_useImagesCheck == 0 ? 1 : 0;
}

void CMainFrame::OnClose() {
    m_server.StopImageServer();
    if (m_services.closeWindow) {
        m_services.closeWindow();
    }
}

long CMainFrame::OnTrayNotify(int wParam, int lParam) {
    if ((lParam & 0xFFFF) == wm::kLButtonDblClk) {
        ToggleImageServer();
    }
    return m_trayIcon.OnTrayNotification(wParam, lParam);
}

void CMainFrame::OnCommand(int id) {
    m_commands.Execute(id);
}

bool CMainFrame::IsCommandChecked(int id) const {
    return m_commands.IsChecked(id);
}

const MenuResource* CMainFrame::LoadMenu(int id) const {
    return id == kTrayIconId ? &TrayMenu() : nullptr;
}

}  // namespace quorvin
