#include "shell/TrayFrame.h"

#include <gtest/gtest.h>

#include "shell/HeadlessNotificationArea.h"
#include "tests/shell/TestFrame.h"
#include "tests/support/TempFolder.h"

// HideOnStart hides the icon at start, but only 1 checks its menu item; a double-click runs
// the window's service toggle; Hide, Hide on Start and Exit are the frame's own commands.
TEST(TrayFrameTest, DoubleClickTogglesTheServiceAndTheMenuRunsTheCommonCommands) {
    const kit::CTempFolder folder;
    folder.Profile().WriteInt("Preferences", "HideOnStart", 2);
    CHeadlessNotificationArea area;
    CTestFrame frame(folder.Profile(), area);
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(area.IsShown());  // hidden on start, yet the item shows no check
    EXPECT_FALSE(frame.HideOnStartChecked());
    frame.OnCommand(CTestFrame::kHide);
    EXPECT_TRUE(area.IsShown());
    EXPECT_EQ(area.DoubleClick(), 1);
    EXPECT_TRUE(frame.running);
    area.RightClick();
    EXPECT_TRUE(area.LastMenu()[6].checked);
    EXPECT_TRUE(area.Choose(CTestFrame::kHideOnStart));
    EXPECT_EQ(folder.Profile().ReadInt("Preferences", "HideOnStart", 9), 1);
    EXPECT_TRUE(area.Choose(ID_APP_EXIT));
    EXPECT_EQ(frame.closes, 1);
}
