#include "nimbrel/MainFrame.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "net/Reactor.h"
#include "nimbrel/Commands.h"
#include "settings/ProfileStore.h"
#include "shell/WindowMessages.h"
#include "tests/dialogs/ScriptedDesktop.h"
#include "tests/support/RecordingNotificationArea.h"

namespace fs = std::filesystem;
using namespace nimbrel;

namespace {

constexpr int kStopped = 138, kIdle = 131, kQuery = 139, kLocal = 140, kLoading = 141;

class NimbrelFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/nimbrel-frame-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_profile = std::make_unique<ProfileStore>(m_folder + "/NIMBREL.INI");
        m_profile->WriteString("Preferences", "FilterPath", m_folder);
        std::ofstream(m_folder + "/named.txt") << "ads.example\n";
    }
    void TearDown() override {
        m_frame.reset();
        fs::remove_all(m_folder);
    }

    CMainFrame& MakeFrame(unsigned port = 0) {
        CMainFrame::Services services{[this] { ++m_aboutRuns; }, [this] { ++m_closes; }};
        m_frame = std::make_unique<CMainFrame>(*m_profile, m_area, m_desktop, services, port);
        return *m_frame;
    }

    // Sends an A query for `name` and returns the reply, empty when none came.
    std::vector<unsigned char> Ask(unsigned port, const std::string& name) {
        std::vector<unsigned char> query = {0x12, 0x34, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0};
        std::size_t start = 0;
        while (start <= name.size()) {
            const std::size_t dot = std::min(name.find('.', start), name.size());
            query.push_back(static_cast<unsigned char>(dot - start));
            query.insert(query.end(), name.begin() + static_cast<long>(start),
                         name.begin() + static_cast<long>(dot));
            start = dot + 1;
        }
        query.insert(query.end(), {0, 0, 1, 0, 1});
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        std::vector<unsigned char> reply(512);
        ssize_t n = -1;
        for (int i = 0; i < 50 && n < 0; ++i) {
            m_reactor.DispatchReady(10);
            n = ::recv(fd, reply.data(), reply.size(), 0);
        }
        ::close(fd);
        reply.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return reply;
    }

    std::string m_folder;
    CReactor m_reactor;
    std::unique_ptr<ProfileStore> m_profile;
    CRecordingNotificationArea m_area;
    dialogtest::CScriptedDesktop m_desktop;
    std::unique_ptr<CMainFrame> m_frame;
    int m_aboutRuns = 0;
    int m_closes = 0;
};

TEST_F(NimbrelFrameTest, CreationAddsTheIconWithTheRunningImage) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    EXPECT_TRUE(m_area.IsShown());
    EXPECT_EQ(m_area.Tip(), "Nimbrel");
    EXPECT_EQ(m_area.Icon(), kIdle);
    EXPECT_FALSE(frame.IsRunning());
}

TEST_F(NimbrelFrameTest, HideOnStartTwoHidesTheIconButLeavesTheItemUnchecked) {
    m_profile->WriteInt("Preferences", "HideOnStart", 2);
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(m_area.IsShown());
    EXPECT_FALSE(frame.IsCommandChecked(ID_HIDE_ON_START));
    frame.OnCommand(ID_HIDE_ON_START);
    EXPECT_EQ(m_profile->ReadInt("Preferences", "HideOnStart", 0), 1);
    EXPECT_TRUE(frame.IsCommandChecked(ID_HIDE_ON_START));
    frame.OnCommand(ID_HIDE_ON_START);
    EXPECT_EQ(m_profile->ReadInt("Preferences", "HideOnStart", 9), 0);
    EXPECT_FALSE(m_area.IsShown());  // only the next start is affected
    frame.OnCommand(ID_HIDE);        // a second start's /h brings it back
    EXPECT_TRUE(m_area.IsShown());
}

TEST_F(NimbrelFrameTest, RunningServiceAnswersListedNamesAndShowsEachStep) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    ASSERT_TRUE(frame.IsRunning());
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, kStopMenuItem);
    const std::size_t before = m_area.Images().size();
    const std::vector<unsigned char> reply = Ask(frame.DnsPort(), "img.ads.example");
    ASSERT_EQ(reply.size(), 33u + 16u);
    EXPECT_EQ(std::vector<unsigned char>(reply.end() - 4, reply.end()),
              (std::vector<unsigned char>{127, 0, 0, 1}));
    EXPECT_EQ(std::vector<int>(m_area.Images().begin() + static_cast<long>(before),
                               m_area.Images().end()),
              (std::vector<int>{kQuery, kIdle, kLocal, kIdle}));
    EXPECT_EQ(frame.Activity(), 1);
}

TEST_F(NimbrelFrameTest, DoubleClickFlipsTheServiceAndTheDefaultItem) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    m_area.DoubleClick();
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_EQ(frame.Activity(), 0);
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, kStartMenuItem);
    m_area.DoubleClick();
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kIdle);
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, kStopMenuItem);
}

TEST_F(NimbrelFrameTest, StartAndStopBothToggle) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.OnCommand(ID_STOP);  // while stopped: starts
    EXPECT_TRUE(frame.IsRunning());
    frame.OnCommand(ID_START);  // while running: stops
    EXPECT_FALSE(frame.IsRunning());
}

TEST_F(NimbrelFrameTest, MenuShowsEveryItemWithChecksAndTheDefaultOfThisMoment) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    m_area.RightClick();
    const ShownMenu& menu = m_area.LastMenu();
    ASSERT_EQ(menu.size(), 18u);
    EXPECT_STREQ(menu[0].text, "&About Nimbrel...");
    EXPECT_STREQ(menu[17].text, "E&xit");
    EXPECT_TRUE(menu[4].checked);   // S&tart while running
    EXPECT_FALSE(menu[5].checked);  // Sto&p
    EXPECT_TRUE(menu[5].isDefault);
    m_area.Choose(ID_STOP);
    m_area.RightClick();
    EXPECT_FALSE(m_area.LastMenu()[4].checked);
    EXPECT_TRUE(m_area.LastMenu()[5].checked);
    EXPECT_TRUE(m_area.LastMenu()[4].isDefault);
}

TEST_F(NimbrelFrameTest, ActivityOutsideTheStatesChangesNothingAndHiddenKeepsTheImage) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.SetActivity(3);
    frame.SetActivity(6);
    frame.SetActivity(-1);
    EXPECT_EQ(frame.Activity(), 3);
    EXPECT_EQ(m_area.Icon(), kLocal);
    frame.OnCommand(ID_HIDE);
    frame.SetActivity(5);
    EXPECT_EQ(frame.Activity(), 5);
    frame.OnCommand(ID_HIDE);
    EXPECT_EQ(m_area.Icon(), kLocal);
}

TEST_F(NimbrelFrameTest, LoadingWhileStoppedShowsLoadingThenStoppedAgain) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.OnCommand(ID_STOP);
    frame.OnCommand(ID_START);
    ASSERT_FALSE(frame.IsRunning());
    const std::size_t before = m_area.Images().size();
    frame.OnCommand(ID_LOAD_FILTERS);
    EXPECT_EQ(std::vector<int>(m_area.Images().begin() + static_cast<long>(before),
                               m_area.Images().end()),
              (std::vector<int>{kLoading, kStopped}));
    EXPECT_TRUE(frame.Filters().IsNamed("ads.example"));
}

TEST_F(NimbrelFrameTest, ReloadAppliesNewListsWithoutReopeningTheSocket) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    const unsigned port = frame.DnsPort();
    std::ofstream(m_folder + "/named.txt") << "other.example\n";
    frame.OnCommand(ID_LOAD_FILTERS);
    EXPECT_EQ(frame.DnsPort(), port);
    // Without an upstream server a name that is not listed is refused.
    EXPECT_EQ(Ask(port, "ads.example").at(3), 5);
    EXPECT_EQ(Ask(port, "other.example").at(2), 0x85);
}

TEST_F(NimbrelFrameTest, PortInUseLeavesTheServiceStoppedWithTheStoppedImage) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length);

    CMainFrame& frame = MakeFrame(ntohs(address.sin_port));
    ASSERT_TRUE(frame.Create());
    testing::internal::CaptureStderr();
    frame.StartDnsService();
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_EQ(frame.Activity(), 0);
    EXPECT_NE(message.find("127.0.0.1:" + std::to_string(ntohs(address.sin_port))),
              std::string::npos);
    EXPECT_NE(message.find("Address already in use"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    ::close(holder);
}

TEST_F(NimbrelFrameTest, AboutAndExitReachTheApplication) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.OnCommand(ID_APP_ABOUT);
    frame.OnCommand(ID_APP_EXIT);
    EXPECT_EQ(m_aboutRuns, 1);
    EXPECT_EQ(m_closes, 1);
}

// The user of the Proxy DNS dialog: types 10.0.0.1 into row 1 and answers `result`.
dialogtest::CScriptedDesktop::User<CProxyDNSDialog> EntersServer(int result) {
    return [result](dialogtest::CFakeDialogControls& controls, const CProxyDNSDialog& dialog) {
        const int row1 = CProxyDNSDialog::kServerRows[0].address;
        controls.SetAddress(row1, 0x0A000001);
        dialog.OnAddressFieldChanged(controls, row1);
        return result;
    };
}

TEST_F(NimbrelFrameTest, ProxyDnsOkRestartsARunningServiceWithTheNewServers) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    ASSERT_EQ(frame.Relay().ProxyCount(), 0);
    const std::size_t before = m_area.Images().size();
    m_desktop.proxyDNSUser = EntersServer(IDOK);
    frame.OnCommand(ID_PROXY_DNS);
    EXPECT_TRUE(frame.IsRunning());
    // OK stores all five rows; the blank ones as "0.0.0.0", which is never asked.
    ASSERT_EQ(frame.Relay().ProxyCount(), 5);
    EXPECT_EQ(frame.Relay().ProxyServer(0), "10.0.0.1");
    EXPECT_EQ(frame.Relay().ProxyServer(1), "0.0.0.0");
    EXPECT_EQ(m_profile->ReadInt("Proxy", "UseCode", 0), 30000);
    EXPECT_EQ(std::vector<int>(m_area.Images().begin() + static_cast<long>(before),
                               m_area.Images().end()),
              (std::vector<int>{kStopped, kIdle, kLoading, kIdle}));
    EXPECT_FALSE(Ask(frame.DnsPort(), "ads.example").empty());
}

TEST_F(NimbrelFrameTest, ProxyDnsOkWhileStoppedStoresButDoesNotStart) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    m_desktop.proxyDNSUser = EntersServer(IDOK);
    frame.OnCommand(ID_PROXY_DNS);
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(frame.Relay().ProxyCount(), 0);
    EXPECT_EQ(m_profile->ReadString("Proxy", "IP1", ""), "10.0.0.1");
    frame.OnCommand(ID_START);
    EXPECT_EQ(frame.Relay().ProxyServer(0), "10.0.0.1");
}

TEST_F(NimbrelFrameTest, ProxyDnsCancelWritesNothingAndKeepsTheServiceAsItWas) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    const unsigned port = frame.DnsPort();
    const std::size_t before = m_area.Images().size();
    m_desktop.proxyDNSUser = EntersServer(IDCANCEL);
    frame.OnCommand(ID_PROXY_DNS);
    EXPECT_EQ(m_desktop.dialogRuns, 1);
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(frame.DnsPort(), port);
    EXPECT_EQ(m_area.Images().size(), before);
    EXPECT_EQ(m_profile->ReadString("Proxy", "IP1", "absent"), "absent");
    EXPECT_EQ(m_profile->ReadString("Proxy", "UseCode", "absent"), "absent");
}

TEST_F(NimbrelFrameTest, IpInfoCommandRunsTheDialogAndStoresTheLocalHost) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    frame.OnCommand(ID_IP_INFO);  // cancelled by the scripted user
    EXPECT_EQ(m_desktop.dialogRuns, 1);
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_profile->ReadString("Preferences", "ResolveToIP", ""), "127.0.0.1");
}

TEST_F(NimbrelFrameTest, FilterCommandsReachTheEditorAndTheFolderChooser) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    const std::string other = m_folder + "/other";
    fs::create_directory(other);
    m_desktop.folderToChoose = other;
    frame.OnCommand(ID_MODIFY_NAMED);
    frame.OnCommand(ID_SELECT_FILTER_FOLDER);
    frame.OnCommand(ID_MODIFY_PASS);
    EXPECT_EQ(m_desktop.openedFiles,
              (std::vector<std::string>{m_folder + "/named.txt", other + "/pass.txt"}));
    ASSERT_EQ(m_desktop.folderRequests.size(), 1u);
    EXPECT_EQ(m_desktop.folderRequests[0].start, m_folder);
    // Matching keeps the lists loaded from the old folder until they are loaded again.
    EXPECT_TRUE(frame.Filters().IsNamed("ads.example"));
    frame.OnCommand(ID_LOAD_FILTERS);
    EXPECT_FALSE(frame.Filters().IsNamed("ads.example"));
}

TEST_F(NimbrelFrameTest, DestructionStopsTheServiceAndRemovesTheIcon) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    frame.StartDnsService();
    const unsigned port = frame.DnsPort();
    m_frame.reset();
    EXPECT_FALSE(m_area.IsShown());
    EXPECT_TRUE(Ask(port, "ads.example").empty());
}

}  // namespace
