#include "shell/qt/QtNotificationArea.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include "tests/shell/TestFrame.h"
#include "tests/shell/qt/QtTestApplication.h"
#include "tests/support/TempFolder.h"

class QtNotificationAreaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override { ASSERT_TRUE(m_frame.Create()); }

    kit::CTempFolder m_folder;
    CQtNotificationArea m_area{"nimbrel"};
    CTestFrame m_frame{m_folder.Profile(), m_area};
};

// A panel that talks D-Bus fetches the menu before it opens it and may never ask again:
// the menu is there from the start, and every change reaches the same items.
TEST_F(QtNotificationAreaTest, OneMenuHoldsTheItemsFromTheStartAndFollowsEveryChange) {
    const QList<QAction*> actions = m_area.Menu().actions();
    ASSERT_EQ(actions.size(), 10);
    EXPECT_TRUE(actions[1]->isSeparator() && actions[8]->isSeparator());
    EXPECT_TRUE(actions[7]->isChecked() && actions[6]->isCheckable() && actions[9]->isEnabled());
    EXPECT_FALSE(actions[6]->isChecked() || actions[9]->isCheckable() || actions[2]->isEnabled());
    m_frame.TrayIcon().m_defaultMenuItem = 6;
    m_frame.running = true;
    emit m_area.Menu().aboutToShow();  // as the panel opens it
    EXPECT_EQ(m_area.Menu().actions(), actions);
    EXPECT_TRUE(actions[6]->isChecked() && actions[6]->font().bold());
    EXPECT_FALSE(actions[7]->isChecked() || actions[7]->font().bold());
    actions[9]->trigger();
    EXPECT_EQ(m_frame.closes, 1);
}

// Hosts that report single activations only: two quick ones are a double-click.
TEST_F(QtNotificationAreaTest, DoubleClickAndTwoQuickActivationsBothCountAsDoubleClick) {
    emit m_area.TrayIcon().activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(m_frame.running);
    emit m_area.TrayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(m_frame.running);
    emit m_area.TrayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(m_frame.running);
}
