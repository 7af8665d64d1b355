#include "quorvin/MainFrame.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <vector>

#include "net/Reactor.h"
#include "quorvin/Commands.h"
#include "shell/WindowMessages.h"
#include "tests/support/Dispatch.h"
#include "tests/support/LoopbackClients.h"
#include "tests/support/RecordingNotificationArea.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace quorvin;

constexpr int kStopped = 129, kRunning = 130, kPink = 131;
constexpr std::size_t kBuiltInReplySize = 89;

// A desktop that keeps one menu between openings, as a D-Bus panel does.
class KeptMenuArea : public CRecordingNotificationArea {
public:
    void UpdateMenu(const ShownMenu& menu) override { kept = menu; }
    ShownMenu kept;
};

class QuorvinFrameTest : public ::testing::Test {
protected:
    CMainFrame& MakeFrame(unsigned port = 0) {
        CMainFrame::Services services{[] {}, [this] { ++m_closes; }};
        m_frame = std::make_unique<CMainFrame>(m_folder.Profile(), m_area, services, port);
        EXPECT_TRUE(m_frame->Create());
        return *m_frame;
    }
    // One exchange with the server while its loop runs: the reply's size.
    std::size_t FetchSize() {
        kit::CTcpClient client(m_frame->HttpPort());
        client.SendSome("GET / HTTP/1.0\r\n\r\n");
        kit::DispatchUntil(m_reactor, [&client] { return client.ReadAvailable(), client.Ended(); });
        return client.Received().size();
    }

    kit::CTempFolder m_folder{"QUORVIN.INI"};
    CReactor m_reactor;
    KeptMenuArea m_area;
    std::unique_ptr<CMainFrame> m_frame;
    int m_closes = 0;
};

TEST_F(QuorvinFrameTest, EachTransferStepFlipsTheImageThenItSettles) {
    m_folder.Profile().WriteInt("Preferences", "Images", 0);
    CMainFrame& frame = MakeFrame();
    EXPECT_TRUE(frame.IsRunning());
    EXPECT_EQ(m_area.Images(), (std::vector<int>{0, kStopped, kRunning}));
    const std::size_t before = m_area.Images().size();
    EXPECT_EQ(m_area.Tip(), "Quorvin\n0 pictures served");
    EXPECT_EQ(FetchSize(), kBuiltInReplySize);
    EXPECT_EQ(frame.Requests().pictures, 1u);
    const std::vector<int> images(m_area.Images().begin() + static_cast<long>(before),
                                  m_area.Images().end());
    ASSERT_GE(images.size(), 3u);
    EXPECT_EQ(images.front(), kRunning);  // the first frame after none is white
    EXPECT_NE(std::find(images.begin(), images.end(), kPink), images.end());
    EXPECT_EQ(images.back(), kRunning);
}

// Every change reaches the kept menu without a right-click: the start, a command a second
// start posts (/i), and a double-click.
TEST_F(QuorvinFrameTest, CommandsChangeTheServiceAndTheKeptMenuFollows) {
    m_folder.Profile().WriteInt("Preferences", "Images", 2);
    CMainFrame& frame = MakeFrame();
    ASSERT_EQ(m_area.kept.size(), 10u);
    EXPECT_TRUE(m_area.kept[2].checked && m_area.kept[3].isDefault);
    EXPECT_FALSE(m_area.kept[7].checked);  // Images=2: on, but not checked
    frame.OnCommand(ID_USE_IMAGES);
    EXPECT_EQ(m_folder.Profile().ReadInt("Preferences", "Images", 9), 1);
    EXPECT_TRUE(m_area.kept[7].checked);
    frame.OnCommand(ID_USE_IMAGES);
    EXPECT_EQ(FetchSize(), kBuiltInReplySize);  // the next connection sees it
    m_area.DoubleClick();
    EXPECT_FALSE(frame.IsRunning());
    EXPECT_EQ(m_area.Icon(), kStopped);
    EXPECT_TRUE(m_area.kept[3].checked && m_area.kept[2].isDefault);
    frame.OnCommand(ID_STOP);  // Start and Stop both toggle
    EXPECT_TRUE(frame.IsRunning());
    frame.OnCommand(ID_APP_EXIT);
    EXPECT_EQ(m_closes, 1);
    EXPECT_FALSE(frame.IsRunning());  // the listener stops before the window closes
}

}  // namespace
