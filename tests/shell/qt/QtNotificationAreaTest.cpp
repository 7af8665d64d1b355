#include "shell/qt/QtNotificationArea.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include "QtTestApplication.h"
#include "shell/TrayIcon.h"
#include "shell/TrayOwner.h"
#include "shell/WindowMessages.h"

namespace {

constexpr int kIconId = 130;

class FakeOwner : public ITrayOwner {
public:
    explicit FakeOwner(CTrayIcon& icon) : m_icon(icon) {}
    long OnTrayNotify(int wParam, int lParam) override {
        notifications.push_back(lParam);
        return m_icon.OnTrayNotification(wParam, lParam);
    }
    void OnCommand(int id) override { commands.push_back(id); }
    bool IsCommandChecked(int id) const override { return id == checkedId; }
    bool HasCommand(int id) const override { return id != missingId; }
    bool HasCheckMark(int id) const override { return id == 32773 || id == 32774; }
    const MenuResource* LoadMenu(int id) const override { return id == kIconId ? &menu : nullptr; }

    MenuResource menu = {{"&About Nimbrel...", 57664},
                         {nullptr, 0},
                         {"Load &Filters", 32777},
                         {nullptr, 0},
                         {"S&tart", 32773},
                         {"Sto&p", 32774},
                         {nullptr, 0},
                         {"E&xit", 57665}};
    int checkedId = 0;
    int missingId = 0;
    std::vector<int> notifications;
    std::vector<int> commands;

private:
    CTrayIcon& m_icon;
};

class QtNotificationAreaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(m_icon.Create(&m_owner, wm::kTrayNotify, "Nimbrel", 0, kIconId));
    }

    // Opens the menu as a right-click would and renders it.
    QImage OpenMenu(int defaultItem, int checkedId) {
        m_icon.m_defaultMenuItem = defaultItem;
        m_owner.checkedId = checkedId;
        emit m_area.Menu().aboutToShow();
        m_area.Menu().ensurePolished();
        m_area.Menu().adjustSize();
        return m_area.Menu().grab().toImage();
    }

    static void ProcessEventsFor(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    CQtNotificationArea m_area{"nimbrel"};
    CTrayIcon m_icon{m_area};
    FakeOwner m_owner{m_icon};
};

// A panel that talks D-Bus fetches the menu before it opens it and may never ask again:
// the menu is there from the start, and every change reaches the same items.
TEST_F(QtNotificationAreaTest, OneMenuHoldsTheItemsFromTheStartAndFollowsEveryChange) {
    m_icon.m_defaultMenuItem = 5;
    m_owner.checkedId = 32773;
    m_icon.UpdateMenu();
    const QList<QAction*> actions = m_area.Menu().actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[0]->text(), "&About Nimbrel...");
    EXPECT_TRUE(actions[4]->isChecked());
    EXPECT_TRUE(actions[5]->isCheckable());
    EXPECT_FALSE(actions[5]->isChecked());
    EXPECT_FALSE(actions[7]->isCheckable());
    EXPECT_TRUE(actions[5]->font().bold());
    EXPECT_FALSE(actions[4]->font().bold());
    for (QAction* action : actions) {
        EXPECT_TRUE(action->isEnabled());
    }

    m_icon.m_defaultMenuItem = 4;
    m_owner.checkedId = 32774;
    m_owner.missingId = 32777;
    m_icon.UpdateMenu();
    EXPECT_EQ(m_area.Menu().actions(), actions);
    EXPECT_FALSE(actions[4]->isChecked());
    EXPECT_TRUE(actions[5]->isChecked());
    EXPECT_TRUE(actions[4]->font().bold());
    EXPECT_FALSE(actions[5]->font().bold());
    EXPECT_FALSE(actions[2]->isEnabled());

    actions[7]->trigger();
    EXPECT_EQ(m_owner.commands, std::vector<int>{57665});
}

TEST_F(QtNotificationAreaTest, RenderedMenuDrawsTheBoldDefaultAndTheCheckMark) {
    const QImage running = OpenMenu(5, 32773);
    const QRect startRow = m_area.Menu().actionGeometry(m_area.Menu().actions()[4]);
    const QRect stopRow = m_area.Menu().actionGeometry(m_area.Menu().actions()[5]);
    const QRect exitRow = m_area.Menu().actionGeometry(m_area.Menu().actions()[7]);
    running.save(QStringLiteral("tray-menu-running.png"));
    const QImage stopped = OpenMenu(4, 32774);
    stopped.save(QStringLiteral("tray-menu-stopped.png"));
    ASSERT_EQ(running.size(), stopped.size());
    EXPECT_NE(running.copy(startRow), stopped.copy(startRow));
    EXPECT_NE(running.copy(stopRow), stopped.copy(stopRow));
    EXPECT_EQ(running.copy(exitRow), stopped.copy(exitRow));
    // Without check mark and default the two rows differ only by their text.
    const QImage plain = OpenMenu(3, 0);
    EXPECT_NE(plain.copy(stopRow), running.copy(stopRow));
}

TEST_F(QtNotificationAreaTest, DoubleClickAndTwoQuickActivationsBothCountAsDoubleClick) {
    emit m_area.TrayIcon().activated(QSystemTrayIcon::DoubleClick);
    emit m_area.TrayIcon().activated(QSystemTrayIcon::Trigger);
    emit m_area.TrayIcon().activated(QSystemTrayIcon::Trigger);
    emit m_area.TrayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(m_owner.notifications, (std::vector<int>{wm::kLButtonDblClk, wm::kLButtonDblClk}));
}

TEST_F(QtNotificationAreaTest, ImageChangesAreThrottledAndTheLatestWins) {
    m_icon.SetIcon(131);
    EXPECT_EQ(m_area.ShownIcon(), 131);
    for (const int icon : {139, 131, 140, 131, 144}) {
        m_icon.SetIcon(icon);
    }
    EXPECT_EQ(m_area.ShownIcon(), 131);
    ProcessEventsFor(2 * CQtNotificationArea::kMinImageIntervalMs);
    EXPECT_EQ(m_area.ShownIcon(), 144);
    EXPECT_FALSE(m_area.TrayIcon().icon().isNull());
}

TEST_F(QtNotificationAreaTest, EveryIconOfBothProgramsExistsInEverySize) {
    for (const int id : {128, 131, 132, 138, 139, 140, 141, 144}) {
        CIconLibrary icons("nimbrel");
        EXPECT_EQ(icons.Icon(id).availableSizes().size(), 5) << id;
    }
    for (const int id : {128, 129, 130, 131, 132}) {
        CIconLibrary icons("quorvin");
        EXPECT_EQ(icons.Icon(id).availableSizes().size(), 5) << id;
    }
    EXPECT_FALSE(m_area.HasIcon(999));
}

TEST_F(QtNotificationAreaTest, HiddenIconIgnoresChangesUntilShownAgain) {
    m_icon.SetIcon(131);
    m_icon.HideIcon();
    EXPECT_FALSE(m_area.TrayIcon().isVisible());
    m_icon.SetIcon(138);
    m_icon.ShowIcon();
    ProcessEventsFor(2 * CQtNotificationArea::kMinImageIntervalMs);
    EXPECT_EQ(m_area.ShownIcon(), 138);
}

}  // namespace
