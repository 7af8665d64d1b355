#pragma once

#include <functional>
#include <memory>

#include "dialogs/FilterCommands.h"
#include "dialogs/IPInfoDialog.h"
#include "dialogs/ProxyDNSDialog.h"
#include "dns/ActivitySink.h"
#include "dns/DnsMessage.h"
#include "dns/FilterLists.h"
#include "dns/UpstreamRelay.h"
#include "shell/CommandTable.h"
#include "shell/TrayIcon.h"
#include "shell/TrayOwner.h"

class CDnsSocket;
class IDesktop;
class INotificationArea;
class ProfileStore;

namespace nimbrel {

// Nimbrel's main window: never shown, found by its title, it owns the tray icon, the
// DNS service socket, the filter lists, the upstream server table and the two dialogs, and
// carries out every command, whether from the tray menu, a double-click or a second start.
class CMainFrame : public ITrayOwner, public IActivitySink {
public:
    static constexpr const char* kTitle = "Nimbrel";

    // What the window asks of the application around it.
    struct Services {
        std::function<void()> runAbout;     // the About command
        std::function<void()> closeWindow;  // the Exit command: end the message loop
    };

    // `profile`, `area` and `desktop` (which runs the dialogs, the folder chooser and the
    // editor) must outlive the window. `dnsPort` stays 53 in the program.
    CMainFrame(const ProfileStore& profile, INotificationArea& area, IDesktop& desktop,
               Services services, unsigned dnsPort = dns::kDnsPort);
    ~CMainFrame() override;

    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Adds the tray icon, applies HideOnStart and shows the running image. False when the
    // icon cannot be added.
    bool Create();

    void StartDnsService();
    void StopDnsService();
    void ToggleDnsService();

    // ITrayOwner
    long OnTrayNotify(int wParam, int lParam) override;
    void OnCommand(int id) override;
    bool IsCommandChecked(int id) const override;
    const MenuResource* LoadMenu(int id) const override;

    // IActivitySink: 0 stopped, 1 idle, 2 query, 3 local answer, 4 loading, 5 relaying.
    int Activity() const override { return m_activity; }
    void SetActivity(int state) override;

    bool IsRunning() const { return m_running; }
    bool HideOnStartChecked() const { return m_hideOnStartCheck == 1; }
    CTrayIcon& TrayIcon() { return m_trayIcon; }
    const CFilterLists& Filters() const { return m_filters; }
    const CUpstreamRelay& Relay() const { return m_relay; }
    // The bound DNS port while running (tests bind port 0), else 0.
    unsigned DnsPort() const;

private:
    void BuildCommandTable();
    void OnHide();
    void OnHideOnStart();
    void OnProxyDNS();

    const ProfileStore& m_profile;
    Services m_services;
    const unsigned m_dnsPort;
    CCommandTable m_commands;
    CTrayIcon m_trayIcon;
    CUpstreamRelay m_relay;
    IDesktop& m_desktop;
    CProxyDNSDialog m_proxyDNSDialog;
    CIPInfoDialog m_ipInfoDialog;
    CFilterCommands m_filterCommands;
    int m_hideOnStartCheck = 0;
    CFilterLists m_filters;
    bool m_running = false;
    std::unique_ptr<CDnsSocket> m_pDnsSocket;
    int m_activity = kIdle;
};

}  // namespace nimbrel
