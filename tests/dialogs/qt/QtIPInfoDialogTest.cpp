#include "dialogs/qt/QtIPInfoDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>

#include "dialogs/IPInfoDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "net/Reactor.h"
#include "tests/shell/qt/QtTestApplication.h"
#include "tests/support/Dispatch.h"
#include "tests/support/TempFolder.h"

namespace {

// The controls are found by their ids; the machine's addresses arrive sorted, each once.
TEST(QtIPInfoDialogTest, LaidOutAfterItsTemplateAndListsTheSortedAddresses) {
    EnsureQtApplication();
    CReactor reactor;
    const kit::CTempFolder folder;
    CIPInfoDialog logic(folder.Profile(), [] {
        return std::vector<std::string>{"192.168.1.9", "192.168.1.10", "10.0.0.7", "10.0.0.7"};
    });
    CQtIPInfoDialog window(logic);
    EXPECT_EQ(window.objectName(), "137");
    EXPECT_EQ(window.windowTitle(), "IP Information");
    auto* box = window.findChild<QCheckBox*>(QString::number(CIPInfoDialog::kResolveToLocalBox));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked() && !box->isEnabled());
    EXPECT_EQ(window.findChild<CIpAddressEdit*>("1001")->Address(), 0x7F000001u);
    ASSERT_TRUE(kit::DispatchUntil(reactor, [&logic] { return !logic.IsLookingUp(); }));
    auto* list =
        window.findChild<QListWidget*>(QString::number(CIPInfoDialog::kMachineAddressList));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "10.0.0.7");
    EXPECT_EQ(list->item(2)->text(), "192.168.1.9");
    EXPECT_EQ(folder.Profile().ReadString("Preferences", "ResolveToIP", ""), "127.0.0.1");
}

}  // namespace
