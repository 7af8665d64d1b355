#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

#include "shell/HeadlessNotificationArea.h"
#include "tests/shell/TestFrame.h"
#include "tests/support/TempFolder.h"

// The menu shows the default item, the owner's check marks and which commands it has.
// Callbacks of other icons are refused.
TEST(TrayIconTest, RightClickShowsTheMenuAsTheOwnerHasItNow) {
    const kit::CTempFolder folder;
    CHeadlessNotificationArea area;
    CTestFrame frame(folder.Profile(), area);
    ASSERT_TRUE(frame.Create());
    CTrayIcon& icon = frame.TrayIcon();
    icon.m_defaultMenuItem = 7;
    EXPECT_EQ(area.RightClick(), 1);
    const ShownMenu& menu = area.LastMenu();
    ASSERT_EQ(menu.size(), 10u);
    EXPECT_TRUE(menu[7].isDefault && menu[7].checked && menu[6].checkable && menu[9].enabled);
    EXPECT_FALSE(menu[6].checked || menu[6].isDefault || menu[9].checkable || menu[2].enabled);
    EXPECT_EQ(icon.OnTrayNotification(CTestFrame::kIconId + 1, wm::kRButtonUp), 0);
    EXPECT_EQ(icon.OnTrayNotification(CTestFrame::kIconId, 0x0200), 1);  // a mouse move
}
