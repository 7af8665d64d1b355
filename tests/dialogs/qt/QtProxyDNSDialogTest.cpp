#include "dialogs/qt/QtProxyDNSDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/ProxyDNSDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "tests/dialogs/qt/DialogControl.h"
#include "tests/shell/qt/QtTestApplication.h"
#include "tests/support/TempFolder.h"

namespace {

// Every control is found by its id and the three columns line up row by row; what is typed
// reaches the logic, its answer reaches the boxes, and OK stores what they show.
TEST(QtProxyDNSDialogTest, LaidOutAfterItsTemplateAndWiredToItsLogic) {
    EnsureQtApplication();
    const kit::CTempFolder folder;
    CProxyDNSDialog logic(folder.Profile());
    CQtProxyDNSDialog window(logic);
    EXPECT_EQ(window.windowTitle(), "Configure Proxied DNS servers");
    EXPECT_EQ(window.objectName(), "138");
    EXPECT_EQ(Control<QGroupBox>(window, 1021)->title(), "Proxy to:");
    EXPECT_EQ(Control<QGroupBox>(window, 1019)->title(), "If passed:");
    EXPECT_EQ(Control<QGroupBox>(window, 1020)->title(), "If not named:");
    window.show();
    for (const auto& row : CProxyDNSDialog::kServerRows) {
        const int y = Control<CIpAddressEdit>(window, row.address)->mapTo(&window, QPoint()).y();
        for (const int id : {row.passedBox, row.notNamedBox}) {
            EXPECT_FALSE(Control<QCheckBox>(window, id)->isEnabled()) << id;
            EXPECT_EQ(Control<QCheckBox>(window, id)->mapTo(&window, QPoint()).y(), y) << id;
        }
    }
    const auto& row = CProxyDNSDialog::kServerRows[1];
    QTest::keyClicks(Control<CIpAddressEdit>(window, row.address)->Field(0), "10");
    auto* passed = Control<QCheckBox>(window, row.passedBox);
    EXPECT_EQ(passed->text(), "10.0.0.0");
    EXPECT_TRUE(passed->isEnabled() && passed->isChecked());
    QTest::mouseClick(passed, Qt::LeftButton);
    const QWidget* cancel = window.findChild<QPushButton*>("IDCANCEL");
    auto* ok = window.findChild<QPushButton*>("IDOK");
    EXPECT_LT(cancel->y() - ok->y(), 2 * ok->height());  // together at the top of their column
    ok->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(folder.Profile().ReadString("Proxy", "IP2", ""), "10.0.0.0");
    EXPECT_EQ(folder.Profile().ReadInt("Proxy", "UseCode", -1), 1000);
}

}  // namespace
