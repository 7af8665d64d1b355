#include "dialogs/qt/QtProxyDNSDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/ProxyDNSDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "tests/dialogs/TempFolder.h"
#include "tests/shell/qt/QtTestApplication.h"

namespace {

using Row = CProxyDNSDialog::ServerRow;
constexpr const Row& kRow1 = CProxyDNSDialog::kServerRows[0];
constexpr const Row& kRow2 = CProxyDNSDialog::kServerRows[1];

class QtProxyDNSDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }

    const ProfileStore& Profile() const { return m_folder.Profile(); }

    template <typename Widget>
    Widget* Control(QWidget& window, int id) {
        auto* widget = window.findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    QCheckBox* Box(QWidget& window, int id) { return Control<QCheckBox>(window, id); }
    // Types into one field of a row's address entry, as a user does.
    void Type(QWidget& window, const Row& row, int field, const char* keys) {
        QTest::keyClicks(Control<CIpAddressEdit>(window, row.address)->Field(field), keys);
    }
    void Press(QWidget& window, const char* button) {
        window.findChild<QPushButton*>(button)->click();
    }

    dialogtest::CTempFolder m_folder;
    CProxyDNSDialog m_logic{m_folder.Profile()};
};

TEST_F(QtProxyDNSDialogTest, LaidOutAfterItsTemplateWithEveryControlFoundById) {
    CQtProxyDNSDialog window(m_logic);
    EXPECT_EQ(window.windowTitle(), "Configure Proxied DNS servers");
    EXPECT_EQ(window.objectName(), "138");
    EXPECT_EQ(Control<QGroupBox>(window, 1021)->title(), "Proxy to:");
    EXPECT_EQ(Control<QGroupBox>(window, 1019)->title(), "If passed:");
    EXPECT_EQ(Control<QGroupBox>(window, 1020)->title(), "If not named:");
    EXPECT_TRUE(window.findChild<QPushButton*>("IDOK")->isDefault());
    EXPECT_EQ(window.findChild<QPushButton*>("IDCANCEL")->text(), "Cancel");
    window.show();
    for (const Row& row : CProxyDNSDialog::kServerRows) {
        const int y = Control<CIpAddressEdit>(window, row.address)->mapTo(&window, QPoint()).y();
        for (const int box : {row.passedBox, row.notNamedBox}) {
            QCheckBox* check = Box(window, box);
            EXPECT_EQ(check->text(), "");
            EXPECT_FALSE(check->isEnabled());
            // Each row lines up across the three columns.
            EXPECT_EQ(check->mapTo(&window, QPoint()).y(), y) << box;
        }
    }
    window.grab().save(QStringLiteral("proxy-dns-dialog@%1x.png").arg(window.devicePixelRatioF()));
}

TEST_F(QtProxyDNSDialogTest, TypedFirstFieldChecksTheRowAndOkStoresIt) {
    CQtProxyDNSDialog window(m_logic);
    window.show();
    Type(window, kRow1, 0, "10");
    EXPECT_EQ(Box(window, kRow1.passedBox)->text(), "10.0.0.0");
    EXPECT_TRUE(Box(window, kRow1.passedBox)->isChecked());
    EXPECT_TRUE(Box(window, kRow1.notNamedBox)->isEnabled());
    QTest::mouseClick(Box(window, kRow1.passedBox), Qt::LeftButton);
    EXPECT_FALSE(Box(window, kRow1.passedBox)->isChecked());
    Press(window, "IDOK");
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(Profile().ReadString("Proxy", "IP1", ""), "10.0.0.0");
    EXPECT_EQ(Profile().ReadString("Proxy", "IP5", ""), "0.0.0.0");
    EXPECT_EQ(Profile().ReadInt("Proxy", "UseCode", -1), 10000);
}

TEST_F(QtProxyDNSDialogTest, OpensFromTheProfileAndAnEditRechecksClearedBoxes) {
    Profile().WriteString("Proxy", "IP1", "10.0.0.1");
    Profile().WriteString("Proxy", "IP2", "not an address");
    Profile().WriteInt("Proxy", "UseCode", 31000);
    CQtProxyDNSDialog window(m_logic);
    window.show();
    window.grab().save(
        QStringLiteral("proxy-dns-dialog-filled@%1x.png").arg(window.devicePixelRatioF()));
    EXPECT_TRUE(Box(window, kRow1.passedBox)->isChecked());
    EXPECT_EQ(Box(window, kRow2.notNamedBox)->text(), "255.255.255.255");
    EXPECT_FALSE(Box(window, kRow2.passedBox)->isChecked());
    EXPECT_TRUE(Box(window, kRow2.notNamedBox)->isChecked());
    Box(window, kRow2.notNamedBox)->click();
    Type(window, kRow2, 3, "\b\b\b7");
    EXPECT_EQ(Box(window, kRow2.passedBox)->text(), "255.255.255.7");
    EXPECT_TRUE(Box(window, kRow2.passedBox)->isChecked());
    EXPECT_TRUE(Box(window, kRow2.notNamedBox)->isChecked());
    Press(window, "IDOK");
    EXPECT_EQ(Profile().ReadString("Proxy", "IP2", ""), "255.255.255.7");
    EXPECT_EQ(Profile().ReadInt("Proxy", "UseCode", -1), 33000);
}

TEST_F(QtProxyDNSDialogTest, CancelAfterEditsWritesNothing) {
    CQtProxyDNSDialog window(m_logic);
    Type(window, kRow2, 0, "8");
    Press(window, "IDCANCEL");
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_EQ(m_folder.ProfileText(), "");
}

TEST_F(QtProxyDNSDialogTest, TabGoesAlongEachRowThenToTheButtons) {
    Profile().WriteString("Proxy", "IP1", "10.0.0.1");
    CQtProxyDNSDialog window(m_logic);
    window.show();
    QApplication::setActiveWindow(&window);
    Control<CIpAddressEdit>(window, kRow1.address)->setFocus();
    QStringList visited;
    for (int stop = 0; stop < 9; ++stop) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // An address entry's first field stands for the entry.
        QWidget* control = qobject_cast<CIpAddressEdit*>(focus->parentWidget()) != nullptr
                               ? focus->parentWidget()
                               : focus;
        visited << control->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // The greyed boxes of rows without a server take no focus.
    EXPECT_EQ(visited, (QStringList{"1004", "1009", "1014", "1005", "1006", "1007", "1008", "IDOK",
                                    "IDCANCEL"}));
}

}  // namespace
