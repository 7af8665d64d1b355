#include "nimbrel/NimbrelApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "net/Reactor.h"
#include "nimbrel/Commands.h"
#include "nimbrel/MainFrame.h"
#include "settings/ProfileStore.h"
#include "shell/CommandChannel.h"
#include "shell/HeadlessDesktop.h"
#include "shell/InstanceLock.h"
#include "shell/WindowMessages.h"

namespace fs = std::filesystem;
using namespace nimbrel;

namespace {

class NimbrelAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/nimbrel-app-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_profile = std::make_unique<ProfileStore>(m_folder + "/NIMBREL.INI");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::unique_ptr<CNimbrelApp> MakeApp(const std::string& line) {
        return std::make_unique<CNimbrelApp>(m_desktop, *m_profile, CCommandLine(line),
                                             RuntimePlace{m_folder, ""}, 0);
    }

    std::string m_folder;
    std::unique_ptr<ProfileStore> m_profile;
    CHeadlessDesktop m_desktop;
};

TEST(NimbrelForwardTest, SwitchesAreForwardedInTheFixedOrder) {
    EXPECT_EQ(CNimbrelApp::ForwardedCommands(CCommandLine("/f /p /n /q /s /l /h /v /a")),
              (std::vector<int>{ID_HIDE, ID_LOAD_FILTERS, ID_START, ID_APP_EXIT, ID_MODIFY_NAMED,
                                ID_MODIFY_PASS, ID_SELECT_FILTER_FOLDER}));
    EXPECT_TRUE(CNimbrelApp::ForwardedCommands(CCommandLine("/v")).empty());
}

TEST_F(NimbrelAppTest, SecondStartPostsItsSwitchesToTheRunningInstanceAndEnds) {
    CInstanceLock running(m_folder, CNimbrelApp::kMutexName);
    CReactor reactor;
    std::vector<int> received;
    CCommandChannel channel(reactor, [&](int id) { received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));

    EXPECT_FALSE(MakeApp("/N /Q /v")->InitInstance());
    for (int i = 0; i < 50 && received.size() < 2; ++i) {
        reactor.DispatchReady(10);
    }
    EXPECT_EQ(received, (std::vector<int>{ID_APP_EXIT, ID_MODIFY_NAMED}));
    EXPECT_FALSE(fs::exists(m_profile->Path()));  // /v of a second start writes nothing
}

TEST_F(NimbrelAppTest, SecondStartWithoutAWindowForwardsNothing) {
    CInstanceLock running(m_folder, CNimbrelApp::kMutexName);
    EXPECT_FALSE(MakeApp("/h")->InitInstance());
    EXPECT_FALSE(fs::exists(m_profile->Path()));
}

TEST_F(NimbrelAppTest, FirstStartWithQuitEndsAtOnceAndWritesNothing) {
    auto app = MakeApp("/q /h");
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(app->MainWindow(), nullptr);
    EXPECT_FALSE(fs::exists(m_profile->Path()));
    EXPECT_EQ(app->ExitInstance(), 0);
}

TEST_F(NimbrelAppTest, FirstStartWithViewAndHideLeavesHideOnStart) {
    auto app = MakeApp("/v/h");
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(m_profile->ReadInt("Preferences", "HideOnStart", 0), 1);
    EXPECT_TRUE(app->MainWindow()->TrayIcon().IsHidden());
    EXPECT_TRUE(app->MainWindow()->IsRunning());
    EXPECT_EQ(app->ExitInstance(), 0);
}

TEST_F(NimbrelAppTest, RunningInstanceCarriesOutPostedCommandsUntilExit) {
    auto app = MakeApp("");
    ASSERT_TRUE(app->InitInstance());
    ASSERT_TRUE(app->MainWindow()->IsRunning());
    // Exit first: what follows it is never carried out.
    ASSERT_EQ(CCommandChannel::Post(m_folder, "nimbrel", {ID_HIDE, ID_APP_EXIT, ID_START}),
              CCommandChannel::PostResult::kDelivered);
    app->Run();
    EXPECT_TRUE(app->MainWindow()->TrayIcon().IsHidden());
    EXPECT_TRUE(app->MainWindow()->IsRunning());
    EXPECT_EQ(app->ExitInstance(), 0);
    EXPECT_FALSE(fs::exists(m_folder + "/NIMBREL"));

    // The instance is gone: a new start becomes the instance.
    auto next = MakeApp("");
    EXPECT_TRUE(next->InitInstance());
    EXPECT_EQ(next->ExitInstance(), 0);
}

TEST_F(NimbrelAppTest, WithoutADisplayTheDialogsAndTheFolderChooserDoNothing) {
    auto app = MakeApp("");
    ASSERT_TRUE(app->InitInstance());
    for (const int id : {ID_IP_INFO, ID_PROXY_DNS, ID_SELECT_FILTER_FOLDER}) {
        app->MainWindow()->OnCommand(id);
    }
    EXPECT_TRUE(app->MainWindow()->IsRunning());
    EXPECT_EQ(m_profile->ReadString("Preferences", "ResolveToIP", "absent"), "absent");
    EXPECT_EQ(m_profile->ReadString("Preferences", "FilterPath", "absent"), "absent");
    EXPECT_EQ(m_profile->ReadString("Proxy", "UseCode", "absent"), "absent");
    EXPECT_EQ(app->ExitInstance(), 0);
}

TEST_F(NimbrelAppTest, WithoutARuntimeFolderEveryStartServesWithoutLockOrChannel) {
    const RuntimePlace none{"", "no private folder"};
    CNimbrelApp first(m_desktop, *m_profile, CCommandLine(""), none, 0);
    CNimbrelApp second(m_desktop, *m_profile, CCommandLine(""), none, 0);
    ASSERT_TRUE(first.InitInstance());
    EXPECT_TRUE(second.InitInstance());
    EXPECT_TRUE(second.MainWindow()->IsRunning());
    EXPECT_EQ(first.ExitInstance(), 0);
    EXPECT_EQ(second.ExitInstance(), 0);
}

}  // namespace
