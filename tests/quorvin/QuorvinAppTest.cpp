#include "quorvin/QuorvinApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "net/Reactor.h"
#include "quorvin/Commands.h"
#include "quorvin/MainFrame.h"
#include "settings/ProfileStore.h"
#include "shell/CommandChannel.h"
#include "shell/HeadlessDesktop.h"
#include "shell/WindowMessages.h"

namespace fs = std::filesystem;
using namespace quorvin;

namespace {

class QuorvinAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvin-app-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_profile = std::make_unique<ProfileStore>(m_folder + "/QUORVIN.INI");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::unique_ptr<CQuorvinApp> MakeApp(const std::string& line) {
        return std::make_unique<CQuorvinApp>(m_desktop, *m_profile, CCommandLine(line),
                                             RuntimePlace{m_folder, ""}, 0);
    }

    std::string m_folder;
    std::unique_ptr<ProfileStore> m_profile;
    CHeadlessDesktop m_desktop;
};

TEST(QuorvinForwardTest, SwitchesAreForwardedInTheFixedOrder) {
    EXPECT_EQ(CQuorvinApp::ForwardedCommands(CCommandLine("/q /i /s /h /t /v")),
              (std::vector<int>{ID_HIDE, ID_START, ID_USE_IMAGES, ID_APP_EXIT}));
}

TEST_F(QuorvinAppTest, StartWithoutViewHidesTheIconFromNowOn) {
    auto app = MakeApp("");
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "HideOnStart", 0), 1);
    EXPECT_TRUE(app->MainWindow()->TrayIcon().IsHidden());
    EXPECT_TRUE(app->MainWindow()->IsRunning());
    app->ExitInstance();
}

TEST_F(QuorvinAppTest, StartWithViewShowsTheIcon) {
    m_profile->WriteInt("Preferences", "HideOnStart", 1);
    auto app = MakeApp("/V");
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "HideOnStart", 9), 0);
    EXPECT_FALSE(app->MainWindow()->TrayIcon().IsHidden());
    app->ExitInstance();
}

TEST_F(QuorvinAppTest, TurnOffImagesOnlyChangesAOne) {
    m_profile->WriteInt("Preferences", "Images", 2);
    auto app = MakeApp("/v /t");
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 2);
    app->ExitInstance();

    m_profile->WriteInt("Preferences", "Images", 1);
    auto again = MakeApp("/v /t");
    ASSERT_TRUE(again->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 0);
    again->ExitInstance();
}

TEST_F(QuorvinAppTest, SecondStartForwardsToTheRunningInstance) {
    auto app = MakeApp("/v");
    ASSERT_TRUE(app->InitInstance());
    auto second = MakeApp("/i /q /t");
    EXPECT_FALSE(second->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 9);  // /t of a second start
    app->Run();
    EXPECT_EQ(m_profile->ReadInt("Preferences", "Images", 9), 0);  // /i toggled it
    EXPECT_EQ(app->ExitInstance(), 0);
}

TEST_F(QuorvinAppTest, FirstStartWithQuitWritesNothing) {
    auto app = MakeApp("/q");
    EXPECT_FALSE(app->InitInstance());
    EXPECT_FALSE(fs::exists(m_profile->Path()));
}

}  // namespace
