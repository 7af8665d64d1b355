#include "nimbrel/NimbrelApp.h"

#include <gtest/gtest.h>

#include "nimbrel/Commands.h"
#include "nimbrel/MainFrame.h"
#include "shell/CommandChannel.h"
#include "shell/HeadlessDesktop.h"
#include "shell/InstanceLock.h"
#include "shell/WindowMessages.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace nimbrel;

TEST(NimbrelAppTest, RunningInstanceCarriesOutPostedCommandsUntilExit) {
    kit::CTempFolder folder;
    CHeadlessDesktop desktop;
    CNimbrelApp app(desktop, folder.Profile(), CCommandLine(""), RuntimePlace{folder.Path(), ""},
                    0);
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(app.MainWindow()->IsRunning());
    // Exit first: what follows it is never carried out.
    ASSERT_EQ(CCommandChannel::Post(folder.Path(), "nimbrel", {ID_HIDE, ID_APP_EXIT, ID_STOP}),
              CCommandChannel::PostResult::kDelivered);
    app.Run();
    EXPECT_TRUE(app.MainWindow()->TrayIcon().IsHidden());
    EXPECT_TRUE(app.MainWindow()->IsRunning());
    EXPECT_EQ(app.ExitInstance(), 0);
}

// The lock is held, but no instance ever takes commands: the switches are not lost silently.
TEST(NimbrelAppTest, SecondStartGivesUpWithStatusOneWhenTheLockHolderNeverTakesCommands) {
    kit::CTempFolder folder;
    const CInstanceLock held(folder.Path(), CNimbrelApp::kMutexName);
    CHeadlessDesktop desktop;
    CNimbrelApp app(desktop, folder.Profile(), CCommandLine("/l"), RuntimePlace{folder.Path(), ""},
                    0);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.ExitInstance(), 1);
}

}  // namespace
