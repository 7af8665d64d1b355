#include "nimbrel/MainFrame.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <algorithm>
#include <vector>

#include "net/Reactor.h"
#include "nimbrel/Commands.h"
#include "shell/WindowMessages.h"
#include "tests/dialogs/ScriptedDesktop.h"
#include "tests/support/Dispatch.h"
#include "tests/support/DnsMessages.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/LoopbackClients.h"
#include "tests/support/RecordingNotificationArea.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace nimbrel;

constexpr int kStopped = 138, kIdle = 131, kQuery = 139, kLocal = 140;

class NimbrelFrameTest : public ::testing::Test {
protected:
    NimbrelFrameTest() {
        m_folder.Profile().WriteString("Preferences", "FilterPath", m_folder.Path());
        m_folder.Write("named.txt", "ads.example\n");
    }

    CMainFrame& MakeFrame(unsigned port = 0) {
        CMainFrame::Services services{[this] { ++m_aboutRuns; }, [this] { ++m_closes; }};
        m_frame =
            std::make_unique<CMainFrame>(m_folder.Profile(), m_area, m_desktop, services, port);
        EXPECT_TRUE(m_frame->Create());
        return *m_frame;
    }
    // The images shown since `from`.
    std::vector<int> ImagesSince(std::size_t from) const {
        return {m_area.Images().begin() + static_cast<long>(from), m_area.Images().end()};
    }
    // An A query for `name`, answered while the loop runs.
    std::optional<kit::Bytes> Ask(const std::string& name) {
        m_client.Send(m_frame->DnsPort(), kit::MakeQuery(0x1234, name));
        std::optional<kit::Bytes> reply;
        kit::DispatchUntil(m_reactor, [&] { return (reply = m_client.Receive(0)).has_value(); });
        return reply;
    }

    kit::CTempFolder m_folder;
    CReactor m_reactor;
    kit::CUdpClient m_client;
    CRecordingNotificationArea m_area;
    dialogtest::CScriptedDesktop m_desktop;
    std::unique_ptr<CMainFrame> m_frame;
    int m_aboutRuns = 0;
    int m_closes = 0;
};

TEST_F(NimbrelFrameTest, ServiceAnswersShowsEachStepAndDoubleClicksToggleIt) {
    CMainFrame& frame = MakeFrame();
    EXPECT_EQ(m_area.Tip(), "Nimbrel\nstopped");
    frame.StartDnsService();
    ASSERT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Tip(), "Nimbrel\n0 blocked of 0 queries");
    EXPECT_TRUE(frame.ServesTcp());
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, kStopMenuItem);
    const std::size_t before = m_area.Images().size();
    const auto reply = Ask("img.ads.example");
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::vector<std::uint8_t>(reply->end() - 4, reply->end()),
              (std::vector<std::uint8_t>{127, 0, 0, 1}));
    EXPECT_EQ(ImagesSince(before), (std::vector<int>{kQuery, kIdle, kLocal, kIdle}));
    EXPECT_EQ(frame.QueryLog().Counters().Of(ActivityOutcome::kBlocked), 1u);
    ASSERT_EQ(frame.QueryLog().Recent().Size(), 1u);
    EXPECT_EQ(frame.QueryLog().Recent().Newest(0).Name(), "img.ads.example");
    kit::CTcpClient tcp(frame.DnsPort());
    tcp.SendSome(kit::Framed(kit::MakeQuery(1, "ads.example")));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return tcp.ReadAvailable() != 0; }));

    m_area.DoubleClick();
    tcp.ReadToEnd();
    EXPECT_TRUE(tcp.Ended());  // Stop closes every connection
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Tip(), "Nimbrel\nstopped");
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_EQ(frame.Activity(), 0);
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, kStartMenuItem);
    EXPECT_TRUE(frame.IsCommandChecked(ID_STOP));
    // Start and Stop both toggle; a start counts afresh, and without KeepActivity only counts.
    m_folder.Profile().WriteInt("Preferences", "KeepActivity", 0);
    frame.OnCommand(ID_START);
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kIdle);
    EXPECT_EQ(m_area.Tip(), "Nimbrel\n0 blocked of 0 queries");
    ASSERT_TRUE(Ask("ads.example"));
    EXPECT_EQ(frame.QueryLog().Counters().Queries(), 1u);
    EXPECT_EQ(frame.QueryLog().Recent().Size(), 0u);
}

// A datagram port in use stops the service; a TCP port in use leaves it on UDP alone. Either
// way, one line says so.
TEST_F(NimbrelFrameTest, PortInUseWritesOneLineAndStopsTheServiceOnlyForUdp) {
    for (const int type : {SOCK_DGRAM, SOCK_STREAM}) {
        SCOPED_TRACE(type);
        const kit::CHeldPort held(type);
        CMainFrame& frame = MakeFrame(held.Port());
        testing::internal::CaptureStderr();
        frame.StartDnsService();
        // The filter load's line comes first.
        std::string line = testing::internal::GetCapturedStderr();
        line.erase(0, line.find('\n') + 1);
        const std::string remedy = type == SOCK_DGRAM ? "-lunp" : "-ltnp";
        EXPECT_EQ(line.rfind("Nimbrel: cannot bind 127.0.0.1:" + std::to_string(held.Port()) +
                                 ": Address already in use; ",
                             0),
                  0u)
            << line;
        EXPECT_NE(line.find(remedy), std::string::npos) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
        EXPECT_EQ(frame.IsRunning(), type == SOCK_STREAM);
        EXPECT_FALSE(frame.ServesTcp());
        if (type == SOCK_DGRAM) {
            EXPECT_EQ(m_area.Icon(), kStopped);
        } else {
            EXPECT_TRUE(Ask("img.ads.example"));
        }
    }
}

TEST_F(NimbrelFrameTest, ProxyDnsOkRestartsOnlyARunningServiceAndCancelChangesNothing) {
    CMainFrame& frame = MakeFrame();
    const auto entersServer = [](int result) {
        return [result](dialogtest::CFakeDialogControls& controls, const CProxyDNSDialog& dialog) {
            controls.SetAddress(CProxyDNSDialog::kServerRows[0].address, 0x0A000001);
            dialog.OnAddressFieldChanged(controls, CProxyDNSDialog::kServerRows[0].address);
            return result;
        };
    };
    m_desktop.proxyDNSUser = entersServer(IDOK);
    frame.OnCommand(ID_PROXY_DNS);  // stopped: stored, not started
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(frame.Relay().ProxyCount(), 0);
    frame.StartDnsService();
    m_folder.Profile().WriteString("Proxy", "IP1", "10.0.0.2");
    frame.OnCommand(ID_PROXY_DNS);  // running: restarted with the new servers
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(frame.Relay().ProxyServer(0), "10.0.0.1");
    m_desktop.proxyDNSUser = entersServer(IDCANCEL);
    m_folder.Profile().WriteString("Proxy", "IP1", "10.0.0.3");
    frame.OnCommand(ID_PROXY_DNS);
    EXPECT_EQ(frame.Relay().ProxyServer(0), "10.0.0.1");
    EXPECT_EQ(m_folder.Profile().ReadString("Proxy", "IP1", ""), "10.0.0.3");
}

TEST_F(NimbrelFrameTest, MenuCommandsReachTheirHandlers) {
    CMainFrame& frame = MakeFrame();
    m_desktop.folderToChoose = m_folder.AddFolder("other");
    for (const int id : {ID_APP_ABOUT, ID_IP_INFO, ID_MODIFY_NAMED, ID_SELECT_FILTER_FOLDER,
                         ID_MODIFY_PASS, ID_APP_EXIT}) {
        frame.OnCommand(id);
    }
    EXPECT_EQ(m_aboutRuns, 1);
    EXPECT_EQ(m_desktop.dialogRuns, 1);
    EXPECT_EQ(m_desktop.openedFiles,
              (std::vector<std::string>{m_folder.Path() + "/named.txt",
                                        *m_desktop.folderToChoose + "/pass.txt"}));
    EXPECT_EQ(m_closes, 1);
}

}  // namespace

TEST_F(NimbrelFrameTest, AListTickedInBlockListsIsFetchedAndAnsweredWithoutARestart) {
    kit::CFakeHttpServer server([](const std::string&) {
        return kit::CFakeHttpServer::Response{200, "", "0.0.0.0 tracker.example\n"};
    });
    int opened = 0;
    m_desktop.blockListsUser = [&](CBlockListsDialog& dialog) {
        ++opened;
        return dialog.Add({ListSide::kBlock, server.Url("/hosts")}).empty() ? IDOK : IDCANCEL;
    };
    CMainFrame& frame = MakeFrame();
    frame.StartDnsService();
    frame.OnCommand(ID_BLOCK_LISTS);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(m_folder.Profile().ReadString("Lists", "Block1", ""), server.Url("/hosts"));
    EXPECT_TRUE(
        kit::DispatchUntil(m_reactor, [&] { return frame.Filters().IsNamed("tracker.example"); }));
    EXPECT_TRUE(Ask("tracker.example").has_value());
}

TEST_F(NimbrelFrameTest, StartThatBlocksNothingSaysSoOnce) {
    CMainFrame& frame = MakeFrame();
    frame.StartDnsService();
    frame.NotifyIfNothingBlocked();
    EXPECT_TRUE(m_area.Balloons().empty());
    m_folder.Write("named.txt", "");
    frame.StartDnsService();
    frame.NotifyIfNothingBlocked();
    ASSERT_EQ(m_area.Balloons().size(), 1u);
    EXPECT_NE(m_area.Balloons()[0].find("\"Block Lists...\""), std::string::npos);
    m_folder.Profile().WriteString("Lists", "Allow1", "https://example.org/allow");
    frame.NotifyIfNothingBlocked();
    EXPECT_EQ(m_area.Balloons().size(), 1u);
}
