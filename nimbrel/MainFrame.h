#pragma once

#include <memory>

#include "activity/QueryLog.h"
#include "dialogs/ActivityDialog.h"
#include "dialogs/BlockListsDialog.h"
#include "dialogs/FilterCommands.h"
#include "dialogs/IPInfoDialog.h"
#include "dialogs/ProxyDNSDialog.h"
#include "dns/ActivitySink.h"
#include "dns/DnsMessage.h"
#include "dns/FilterLists.h"
#include "dns/UpstreamRelay.h"
#include "shell/ThrottledTip.h"
#include "shell/TrayFrame.h"
#include "subscriptions/ListUpdater.h"

class CDnsSocket;
class CDnsStreamListener;
class CQueryHandler;
class IDesktop;
class INotificationArea;
class ProfileStore;

namespace nimbrel {

// Nimbrel's main window: never shown, found by its title, it owns the tray icon, the
// DNS service (its query handler, datagram socket and TCP listener), the filter lists, the
// updater of the subscribed lists, the upstream server table, the query log and the dialogs,
// and carries out every command, whether from the tray menu, a double-click or a second start.
class CMainFrame : public CTrayFrame, public IActivitySink {
public:
    static constexpr const char* kTitle = "Nimbrel";

    // `profile`, `area` and `desktop` (which runs the dialogs, the folder chooser and the
    // editor) must outlive the window. `dnsPort` stays 53 in the program.
    CMainFrame(const ProfileStore& profile, INotificationArea& area, IDesktop& desktop,
               Services services, unsigned dnsPort = dns::kDnsPort);
    ~CMainFrame() override;

    // Adds the tray icon, applies HideOnStart, shows the running image and starts keeping
    // the subscribed lists up to date. False when the icon cannot be added.
    bool Create();

    // At start: when nothing at all would be blocked (no entry in named.txt, no name from a
    // list, no subscription), a balloon says so and points to Block Lists.
    void NotifyIfNothingBlocked();

    void StartDnsService();
    void StopDnsService();
    void ToggleDnsService();

    // IActivitySink: 0 stopped, 1 idle, 2 query, 3 local answer, 4 loading, 5 relaying.
    int Activity() const override { return m_activity; }
    void SetActivity(int state) override;
    void RecordQuery(const QueryRecord& record) override;

    bool IsRunning() const { return m_running; }
    const CFilterLists& Filters() const { return m_filters; }
    const CUpstreamRelay& Relay() const { return m_relay; }
    // What the service did since it last started.
    const CQueryLog& QueryLog() const { return m_queryLog; }
    // The bound DNS port while running (tests bind port 0), else 0.
    unsigned DnsPort() const;
    // Whether the service also listens on TCP (it runs on UDP alone when TCP cannot bind).
    bool ServesTcp() const { return m_pDnsStream != nullptr; }

private:
    void ToggleService() override { ToggleDnsService(); }
    void BuildCommandTable();
    // Listens on TCP beside the bound datagram socket; a failure leaves UDP alone serving.
    void StartTcpListener();
    void OnProxyDNS();

    const unsigned m_dnsPort;
    CUpstreamRelay m_relay;
    IDesktop& m_desktop;
    CProxyDNSDialog m_proxyDNSDialog;
    CIPInfoDialog m_ipInfoDialog;
    CFilterCommands m_filterCommands;
    CFilterLists m_filters;
    CListUpdater m_listUpdater;  // reloads m_filters: destroyed before it
    CBlockListsDialog m_blockListsDialog;
    bool m_running = false;
    std::unique_ptr<CQueryHandler> m_pQueryHandler;
    std::unique_ptr<CDnsSocket> m_pDnsSocket;
    std::unique_ptr<CDnsStreamListener> m_pDnsStream;
    int m_activity = kIdle;
    CQueryLog m_queryLog;
    CActivityDialog m_activityDialog;
    CThrottledTip m_tip;
};

}  // namespace nimbrel
