#include "quorvin/MainFrame.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "net/Reactor.h"
#include "quorvin/Commands.h"
#include "settings/ProfileStore.h"
#include "tests/support/RecordingNotificationArea.h"
#include "shell/WindowMessages.h"

namespace fs = std::filesystem;
using namespace quorvin;

namespace {

constexpr int kStopped = 129, kRunning = 130, kPink = 131;

// A desktop that keeps one menu between openings, as a D-Bus panel does.
class KeptMenuArea : public CRecordingNotificationArea {
public:
    void UpdateMenu(const ShownMenu& menu) override { kept = menu; }
    ShownMenu kept;
};

class QuorvinFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvin-frame-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_profile = std::make_unique<ProfileStore>(m_folder + "/QUORVIN.INI");
    }
    void TearDown() override {
        m_frame.reset();
        fs::remove_all(m_folder);
    }

    CMainFrame& MakeFrame(unsigned port = 0) {
        CMainFrame::Services services{[] {}, [this] { ++m_closes; }};
        m_frame = std::make_unique<CMainFrame>(*m_profile, m_area, services, port);
        return *m_frame;
    }

    // Fetches one reply from the server, dispatching until the server closes.
    std::string Fetch(unsigned port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
        bool sent = false;
        std::string reply;
        for (int i = 0; i < 200; ++i) {
            m_reactor.DispatchReady(5);
            if (!sent) {
                sent = ::send(fd, "GET / HTTP/1.0\r\n\r\n", 18, MSG_NOSIGNAL) == 18;
            }
            char chunk[512];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n > 0) {
                reply.append(chunk, static_cast<std::size_t>(n));
            } else if (n == 0) {
                break;
            }
        }
        ::close(fd);
        return reply;
    }

    std::string m_folder;
    CReactor m_reactor;
    std::unique_ptr<ProfileStore> m_profile;
    KeptMenuArea m_area;
    std::unique_ptr<CMainFrame> m_frame;
    int m_closes = 0;
};

TEST_F(QuorvinFrameTest, CreationStartsTheServerWithTheWhiteImage) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Tip(), "Quorvin");
    EXPECT_EQ(m_area.Images(), (std::vector<int>{0, kStopped, kRunning}));
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, 3);
    EXPECT_TRUE(frame.IsCommandChecked(ID_START));
    EXPECT_TRUE(frame.IsCommandChecked(ID_USE_IMAGES));
}

TEST_F(QuorvinFrameTest, EachTransferStepFlipsTheImageThenItSettles) {
    m_profile->WriteInt("Preferences", "Images", 0);
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    const std::size_t before = m_area.Images().size();
    EXPECT_EQ(Fetch(frame.HttpPort()).size(), 89u);
    const std::vector<int> images(m_area.Images().begin() + static_cast<long>(before),
                                  m_area.Images().end());
    ASSERT_GE(images.size(), 3u);
    EXPECT_EQ(images.front(), kRunning);  // the first frame after none is white
    EXPECT_NE(std::find(images.begin(), images.end(), kPink), images.end());
    EXPECT_EQ(images.back(), kRunning);
    for (std::size_t i = 1; i + 1 < images.size(); ++i) {
        if (images[i] == kPink) {
            EXPECT_EQ(images[i - 1], kRunning);
        }
    }
}

TEST_F(QuorvinFrameTest, UseImagesFlipsTheSettingForLaterConnections) {
    m_profile->WriteInt("Preferences", "Images", 2);
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(frame.IsCommandChecked(ID_USE_IMAGES));
    frame.OnCommand(ID_USE_IMAGES);
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 1);
    EXPECT_TRUE(frame.IsCommandChecked(ID_USE_IMAGES));
    frame.OnCommand(ID_USE_IMAGES);
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 0);
    EXPECT_EQ(Fetch(frame.HttpPort()).size(), 89u);
}

TEST_F(QuorvinFrameTest, DoubleClickTogglesTheServer) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    m_area.DoubleClick();
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_EQ(frame.TrayIcon().m_defaultMenuItem, 2);
    frame.UpdateActivityIcon();
    EXPECT_EQ(m_area.Icon(), kStopped);
    frame.OnCommand(ID_STOP);
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kRunning);
}

TEST_F(QuorvinFrameTest, PortInUseShowsTheStoppedImage) {
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    socklen_t length = sizeof address;
    ::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length);
    CMainFrame& frame = MakeFrame(ntohs(address.sin_port));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(frame.Create());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("127.0.0.1"), std::string::npos);
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_FALSE(frame.IsCommandChecked(ID_START));
    ::close(holder);
}

TEST_F(QuorvinFrameTest, MenuAndExit) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    m_area.RightClick();
    const ShownMenu& menu = m_area.LastMenu();
    ASSERT_EQ(menu.size(), 10u);
    EXPECT_STREQ(menu[7].text, "Use &Images");
    EXPECT_TRUE(menu[3].isDefault);
    EXPECT_TRUE(menu[2].checked);
    m_area.Choose(ID_APP_EXIT);
    EXPECT_EQ(m_closes, 1);
    EXPECT_FALSE(frame.IsRunning());  // the listener stops before the window closes
}

// Every change reaches the kept menu without a right-click: the start in Create, a
// command a second start posts (/i), and a double-click.
TEST_F(QuorvinFrameTest, KeptMenuFollowsEveryChangeOfState) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.Create());
    ASSERT_EQ(m_area.kept.size(), 10u);
    EXPECT_TRUE(m_area.kept[2].checked && m_area.kept[2].checkable);
    EXPECT_TRUE(m_area.kept[3].isDefault && m_area.kept[3].checkable);
    EXPECT_TRUE(m_area.kept[7].checked);
    EXPECT_FALSE(m_area.kept[0].checkable);
    for (const ShownMenuItem& item : m_area.kept) {
        EXPECT_EQ(item.enabled, item.id != 0) << item.id;
    }
    frame.OnCommand(ID_USE_IMAGES);
    EXPECT_FALSE(m_area.kept[7].checked);
    m_area.DoubleClick();
    EXPECT_FALSE(m_area.kept[2].checked);
    EXPECT_TRUE(m_area.kept[3].checked);
    EXPECT_TRUE(m_area.kept[2].isDefault);
}

}  // namespace
