#include "quorvin/MainFrame.h"

#include "quorvin/Commands.h"
#include "quorvin/ServiceText.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"

namespace quorvin {
namespace {

constexpr int kStoppedIcon = 129;
constexpr int kRunningIcon = 130;
constexpr int kOtherFrameIcon = 131;

constexpr const char* kTip = "Quorvin";

}  // namespace

CMainFrame::CMainFrame(const ProfileStore& profile, INotificationArea& area, Services services,
                       unsigned httpPort)
    : CTrayFrame(profile, area, std::move(services), TrayMenu(), kTrayIconId,
                 CommonCommands{ID_HIDE, ID_HIDE_ON_START}),
      m_server(*this, profile, httpPort),
      m_tip(m_trayIcon, [this] { return ServiceTip(m_requests); }) {
    m_commands.Add(
        ID_START, [this] { ToggleImageServer(); }, [this] { return IsRunning(); });
    m_commands.Add(
        ID_STOP, [this] { ToggleImageServer(); }, [this] { return !IsRunning(); });
    m_commands.Add(
        ID_USE_IMAGES, [this] { OnUseImages(); }, [this] { return m_useImagesCheck == 1; });
}

CMainFrame::~CMainFrame() {
    m_activityFlag = false;
    m_server.StopImageServer();
}

bool CMainFrame::Create() {
    if (!CreateTrayIcon(kTip)) {
        return false;
    }
    m_useImagesCheck = m_profile.ReadInt(profile::kPreferences, profile::kImages, 1) == 1 ? 1 : 0;
    m_trayIcon.SetIcon(kStoppedIcon);
    m_tip.ShowNow();
    ToggleImageServer();
    return true;
}

void CMainFrame::ToggleImageServer() {
    if (m_server.IsRunning()) {
        m_trayIcon.SetIcon(kStoppedIcon);
        m_server.StopImageServer();
    } else {
        m_trayIcon.SetIcon(kRunningIcon);
        m_server.StartImageServer();
        if (!m_server.IsRunning()) {
            // Nothing is served: the tray must not claim otherwise.
            m_trayIcon.SetIcon(kStoppedIcon);
        }
    }
    m_trayIcon.UpdateMenu();
}

void CMainFrame::UpdateActivityIcon() {
    if (m_activityFlag) {
        m_lastFrame = m_lastFrame == kRunningIcon ? kOtherFrameIcon : kRunningIcon;
        m_trayIcon.SetIcon(m_lastFrame);
    } else {
        m_trayIcon.SetIcon(m_server.IsRunning() ? kRunningIcon : kStoppedIcon);
    }
}

void CMainFrame::CountRequest(httpd::RequestOutcome outcome) {
    m_requests.Count(outcome);
    m_tip.Changed();
}

void CMainFrame::OnUseImages() {
    m_server.WriteUseImages(m_useImagesCheck == 0 ? 1 : 0);
    m_useImagesCheck = m_useImagesCheck == 0 ? 1 : 0;
}

void CMainFrame::OnClose() {
    m_server.StopImageServer();
    CTrayFrame::OnClose();
}

}  // namespace quorvin
