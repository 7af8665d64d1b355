#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

#include "shell/HeadlessNotificationArea.h"
#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

namespace {

constexpr int kIconId = 130;

class FakeOwner : public ITrayOwner {
public:
    explicit FakeOwner(CTrayIcon& icon) : m_icon(icon) {}
    long OnTrayNotify(int wParam, int lParam) override {
        return m_icon.OnTrayNotification(wParam, lParam);
    }
    void OnCommand(int id) override { lastCommand = id; }
    bool IsCommandChecked(int id) const override { return id == checkedId; }
    bool HasCommand(int /*id*/) const override { return true; }
    bool HasCheckMark(int /*id*/) const override { return true; }
    const MenuResource* LoadMenu(int id) const override { return id == kIconId ? &menu : nullptr; }

    MenuResource menu = {{"One", 1}, {nullptr, 0}, {"Two", 2}, {"Three", 3}, {"Four", 4}};
    int checkedId = 0;
    int lastCommand = 0;

private:
    CTrayIcon& m_icon;
};

class TrayIconTest : public ::testing::Test {
protected:
    CHeadlessNotificationArea m_area{{129, 130, 131}};
    CTrayIcon m_icon{m_area};
    FakeOwner m_owner{m_icon};
};

TEST_F(TrayIconTest, CreateNeedsAnOwnerAndAddsTheIcon) {
    EXPECT_FALSE(m_icon.Create(nullptr, wm::kTrayNotify, "Tip", 0, kIconId));
    EXPECT_FALSE(m_icon.IsEnabled());
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
    EXPECT_TRUE(m_area.IsShown());
    EXPECT_EQ(m_area.Tip(), "Tip");
    EXPECT_EQ(m_area.Icon(), 0);
}

TEST_F(TrayIconTest, ImageSetWhileHiddenIsShownWhenTheIconComesBack) {
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
    EXPECT_TRUE(m_icon.SetIcon(130));
    m_icon.HideIcon();
    EXPECT_FALSE(m_area.IsShown());
    EXPECT_FALSE(m_icon.SetIcon(131));  // the desktop has no icon to change
    EXPECT_EQ(m_area.Icon(), 130);
    m_icon.ShowIcon();
    EXPECT_TRUE(m_area.IsShown());
    EXPECT_EQ(m_area.Icon(), 131);
}

TEST_F(TrayIconTest, MissingIconResourceShowsNoPicture) {
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
    m_icon.SetIcon(130);
    m_icon.SetIcon(999);
    EXPECT_EQ(m_area.Icon(), 0);
}

TEST_F(TrayIconTest, RemoveIconDeletesItForGoodAndTheDestructorDoesToo) {
    {
        CHeadlessNotificationArea area;
        CTrayIcon icon(area);
        FakeOwner owner(icon);
        ASSERT_TRUE(icon.Create(&owner, wm::kTrayNotify, "Tip", 0, kIconId));
        ASSERT_TRUE(icon.RemoveIcon());
        EXPECT_FALSE(area.IsShown());
        icon.ShowIcon();
        EXPECT_FALSE(area.IsShown());
    }
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
}

TEST_F(TrayIconTest, RightClickShowsTheMenuWithDefaultItemAndCheckMarks) {
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
    m_owner.checkedId = 4;
    EXPECT_EQ(m_area.RightClick(), 1);
    const ShownMenu& menu = m_area.LastMenu();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_TRUE(menu[3].isDefault);  // position 3 until the window says otherwise
    EXPECT_TRUE(menu[4].checked);
    EXPECT_FALSE(menu[2].checked);

    m_icon.m_defaultMenuItem = 2;
    m_owner.checkedId = 2;
    m_area.RightClick();
    EXPECT_TRUE(m_area.LastMenu()[2].isDefault && m_area.LastMenu()[2].checked);
    EXPECT_FALSE(m_area.LastMenu()[3].isDefault || m_area.LastMenu()[4].checked);

    EXPECT_TRUE(m_area.Choose(3));
    EXPECT_EQ(m_owner.lastCommand, 3);
    EXPECT_FALSE(m_area.Choose(99));
}

TEST_F(TrayIconTest, CallbacksForOtherIconsOrWithoutMenuAreRefused) {
    ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Tip", 0, kIconId));
    EXPECT_EQ(m_icon.OnTrayNotification(kIconId + 1, wm::kRButtonUp), 0);
    EXPECT_EQ(m_icon.OnTrayNotification(kIconId, 0x0200), 1);  // a mouse move
    EXPECT_EQ(m_icon.OnTrayNotification(kIconId, wm::kLButtonDblClk), 1);
    EXPECT_TRUE(m_area.LastMenu().empty());  // a double-click opens no menu
    m_owner.menu.clear();
    EXPECT_EQ(m_icon.OnTrayNotification(kIconId, wm::kRButtonUp), 0);
}

}  // namespace
