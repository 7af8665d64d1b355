#include "nimbrel/MainFrame.h"

#include <sys/socket.h>

#include <array>

#include "dns/DnsSocket.h"
#include "dns/DnsStreamListener.h"
#include "dns/QueryHandler.h"
#include "net/ServiceFailure.h"
#include "nimbrel/Commands.h"
#include "nimbrel/ServiceText.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace nimbrel {
namespace {

// The tray image of each activity state.
constexpr std::array<int, 6> kActivityIcons = {138, 131, 139, 140, 141, 144};
constexpr int kStoppedIcon = 138;
constexpr int kRunningIcon = 131;

constexpr const char* kTip = "Nimbrel";
constexpr int kKeepActivityDefault = 1;

}  // namespace

CMainFrame::CMainFrame(const ProfileStore& profile, INotificationArea& area, IDesktop& desktop,
                       Services services, unsigned dnsPort)
    : CTrayFrame(profile, area, std::move(services), TrayMenu(), kTrayIconId,
                 CommonCommands{ID_HIDE, ID_HIDE_ON_START}),
      m_dnsPort(dnsPort),
      m_relay(profile, this),
      m_desktop(desktop),
      m_proxyDNSDialog(profile),
      m_ipInfoDialog(profile),
      m_filterCommands(profile, desktop),
      m_filters(profile, this),
      m_listUpdater(profile, [this] { m_filters.LoadFilters(); }),
      m_blockListsDialog(
          profile, m_filters,
          [this](const std::vector<ListSubscription>& lists) { m_listUpdater.Update(lists); }),
      m_activityDialog(m_queryLog, m_filters, profile, desktop),
      m_tip(m_trayIcon, [this] { return ServiceTip(m_running, m_queryLog.Counters()); }) {
    BuildCommandTable();
}

CMainFrame::~CMainFrame() {
    StopDnsService();
}

void CMainFrame::BuildCommandTable() {
    m_commands.Add(ID_LOAD_FILTERS, [this] { m_filters.LoadFilters(); });
    m_commands.Add(ID_UPDATE_LISTS, [this] { m_listUpdater.UpdateAll(); });
    m_commands.Add(ID_BLOCK_LISTS, [this] { m_blockListsDialog.DoModal(m_desktop); });
    m_commands.Add(
        ID_START, [this] { ToggleDnsService(); }, [this] { return m_running; });
    m_commands.Add(
        ID_STOP, [this] { ToggleDnsService(); }, [this] { return !m_running; });
    m_commands.Add(ID_IP_INFO, [this] { m_ipInfoDialog.DoModal(m_desktop); });
    m_commands.Add(ID_PROXY_DNS, [this] { OnProxyDNS(); });
    m_commands.Add(ID_ACTIVITY, [this] { m_activityDialog.Show(); });
    m_commands.Add(ID_MODIFY_NAMED, [this] { m_filterCommands.OnModifyNamed(); });
    m_commands.Add(ID_MODIFY_PASS, [this] { m_filterCommands.OnModifyPass(); });
    m_commands.Add(ID_SELECT_FILTER_FOLDER, [this] { m_filterCommands.OnSelectFilterFolder(); });
}

bool CMainFrame::Create() {
    if (!CreateTrayIcon(kTip)) {
        return false;
    }
    m_trayIcon.SetIcon(kRunningIcon);
    m_tip.ShowNow();
    m_listUpdater.Start();
    return true;
}

void CMainFrame::NotifyIfNothingBlocked() {
    std::size_t listNames = 0;
    for (const ListFileCounts& file : m_filters.ListFiles()) {
        listNames += file.counts.blockNames;
    }
    if (m_filters.NamedList().EntryCount() == 0 && listNames == 0 &&
        ReadSubscriptions(m_profile).empty()) {
        m_trayIcon.ShowBalloon("Nimbrel blocks nothing yet",
                               "named.txt is empty and no list is subscribed. Choose "
                               "\"Block Lists...\" in the menu to subscribe to one.");
    }
}

void CMainFrame::StartDnsService() {
    StopDnsService();
    m_trayIcon.m_defaultMenuItem = kStopMenuItem;
    m_activity = kIdle;
    m_filters.LoadFilters();
    m_relay.LoadProxyServers();
    m_activity = kIdle;
    m_queryLog.Restart(m_profile.ReadInt(profile::kPreferences, profile::kKeepActivity,
                                         kKeepActivityDefault) != 0);

    m_pQueryHandler = std::make_unique<CQueryHandler>(m_filters, m_relay, m_profile, this);
    m_pDnsSocket = std::make_unique<CDnsSocket>(*m_pQueryHandler);
    m_running = true;
    if (!m_pDnsSocket->Start(m_dnsPort)) {
        m_running = false;
        // Without a socket nothing is served: the user must see that, in the tray and on
        // the terminal (most often the port needs root or CAP_NET_BIND_SERVICE).
        ReportServiceFailure("Nimbrel", "bind", CDnsSocket::kServiceAddress, m_dnsPort, SOCK_DGRAM,
                             WSAGetLastError());
        m_activity = kStopped;
        m_trayIcon.SetIcon(kStoppedIcon);
    } else {
        StartTcpListener();
    }
    m_tip.ShowNow();
    m_trayIcon.UpdateMenu();
}

void CMainFrame::StartTcpListener() {
    // The port the datagram socket got (the same as asked for, but in tests).
    const unsigned port = m_pDnsSocket->LocalPort();
    m_pDnsStream = std::make_unique<CDnsStreamListener>(*m_pQueryHandler);
    if (!m_pDnsStream->Start(CDnsSocket::kServiceAddress, port)) {
        // Datagrams are still served; resolvers that retry over TCP are not.
        ReportServiceFailure("Nimbrel", "bind", CDnsSocket::kServiceAddress, port, SOCK_STREAM,
                             WSAGetLastError());
        m_pDnsStream.reset();
    }
}

void CMainFrame::StopDnsService() {
    m_running = false;
    m_trayIcon.m_defaultMenuItem = kStartMenuItem;
    m_activity = kStopped;
    // Every connection closes with its listener; the relays in flight go with the handler.
    m_pDnsStream.reset();
    m_pDnsSocket.reset();
    m_pQueryHandler.reset();
    m_tip.ShowNow();
    m_trayIcon.UpdateMenu();
}

void CMainFrame::ToggleDnsService() {
    if (m_running) {
        m_trayIcon.SetIcon(kStoppedIcon);
        m_activity = kStopped;
        StopDnsService();
    } else {
        m_trayIcon.SetIcon(kRunningIcon);
        m_activity = kIdle;
        StartDnsService();
    }
}

unsigned CMainFrame::DnsPort() const {
    return m_running ? m_pDnsSocket->LocalPort() : 0;
}

void CMainFrame::SetActivity(int state) {
    if (state < kStopped || state > kRelaying) {
        return;
    }
    m_activity = state;
    if (m_trayIcon.IsHidden()) {
        return;
    }
    m_trayIcon.SetIcon(kActivityIcons[static_cast<std::size_t>(state)]);
}

void CMainFrame::RecordQuery(const QueryRecord& record) {
    m_queryLog.Record(record);
    m_tip.Changed();
}

void CMainFrame::OnProxyDNS() {
    // New servers take effect when the service loads them: restart a running one now, a
    // stopped one picks them up at its next start.
    if (m_proxyDNSDialog.DoModal(m_desktop) == IDOK && m_running) {
        OnCommand(ID_STOP);
        OnCommand(ID_START);
    }
}

}  // namespace nimbrel
