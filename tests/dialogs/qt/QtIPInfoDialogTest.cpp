#include "dialogs/qt/QtIPInfoDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "dialogs/IPInfoDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "net/Reactor.h"
#include "tests/dialogs/TempFolder.h"
#include "tests/shell/qt/QtTestApplication.h"

namespace {

class QtIPInfoDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }

    const ProfileStore& Profile() const { return m_folder.Profile(); }

    template <typename Widget>
    Widget* Control(QWidget& window, int id) {
        auto* widget = window.findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    QStringList Listed(QWidget& window) {
        auto* list = Control<QListWidget>(window, CIPInfoDialog::kMachineAddressList);
        QStringList entries;
        for (int row = 0; row < list->count(); ++row) {
            entries << list->item(row)->text();
        }
        return entries;
    }

    // Runs the loop until the dialog's address lookup has come back.
    void AwaitLookup() {
        for (int slice = 0; slice < 500 && m_logic.IsLookingUp(); ++slice) {
            m_reactor.DispatchReady(10);
        }
        ASSERT_FALSE(m_logic.IsLookingUp());
    }

    CReactor m_reactor;
    dialogtest::CTempFolder m_folder;
    // Shared with lookups that may outlive the test when a later one replaced them.
    std::shared_ptr<std::vector<std::string>> m_machine =
        std::make_shared<std::vector<std::string>>(
            std::vector<std::string>{"192.168.1.9", "192.168.1.10", "10.0.0.7"});
    CIPInfoDialog m_logic{m_folder.Profile(), [machine = m_machine] { return *machine; }};
};

TEST_F(QtIPInfoDialogTest, OpensWithTheGreyedLocalHostAndTheSortedAddresses) {
    Profile().WriteInt("Preferences", "ResolveToLocal", 0);
    CQtIPInfoDialog window(m_logic);
    EXPECT_EQ(window.windowTitle(), "IP Information");
    EXPECT_EQ(Control<QGroupBox>(window, CIPInfoDialog::kAddressFrame)->title(), "IP Address:");
    auto* resolveToLocal = Control<QCheckBox>(window, CIPInfoDialog::kResolveToLocalBox);
    EXPECT_EQ(resolveToLocal->text(), "&Resolve to LOCALHOST");
    EXPECT_TRUE(resolveToLocal->isChecked());
    EXPECT_FALSE(resolveToLocal->isEnabled());
    auto* address = Control<CIpAddressEdit>(window, CIPInfoDialog::kResolveToAddress);
    EXPECT_EQ(address->Address(), 0x7F000001u);
    EXPECT_FALSE(address->isEnabled());
    AwaitLookup();
    EXPECT_EQ(Listed(window), (QStringList{"10.0.0.7", "192.168.1.10", "192.168.1.9"}));
    EXPECT_EQ(Profile().ReadInt("Preferences", "ResolveToLocal", 0), 1);
    window.show();
    window.grab().save(QStringLiteral("ip-info-dialog@%1x.png").arg(window.devicePixelRatioF()));
}

TEST_F(QtIPInfoDialogTest, CurrentIPsRebuildsTheListAndDoubleClickChangesNothing) {
    CQtIPInfoDialog window(m_logic);
    window.show();
    AwaitLookup();
    auto* list = Control<QListWidget>(window, CIPInfoDialog::kMachineAddressList);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(0)).center());
    *m_machine = {"10.0.0.8"};
    auto* currentIPs = Control<QPushButton>(window, CIPInfoDialog::kCurrentIPsButton);
    EXPECT_EQ(currentIPs->text(), "Current IP(s)");
    currentIPs->click();
    currentIPs->click();
    AwaitLookup();
    EXPECT_EQ(Listed(window), QStringList{"10.0.0.8"});
    EXPECT_TRUE(window.isVisible());
}

TEST_F(QtIPInfoDialogTest, OkStoresTheKeysAgainAndCancelLeavesTheOpeningWrites) {
    CQtIPInfoDialog cancelled(m_logic);
    Profile().WriteString("Preferences", "ResolveToIP", "10.1.1.1");
    cancelled.findChild<QPushButton*>("IDCANCEL")->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(Profile().ReadString("Preferences", "ResolveToIP", ""), "10.1.1.1");
    CQtIPInfoDialog confirmed(m_logic);
    Profile().WriteString("Preferences", "ResolveToIP", "10.1.1.1");
    confirmed.findChild<QPushButton*>("IDOK")->click();
    EXPECT_EQ(confirmed.result(), QDialog::Accepted);
    EXPECT_EQ(Profile().ReadString("Preferences", "ResolveToIP", ""), "127.0.0.1");
}

}  // namespace
