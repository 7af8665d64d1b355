#include "dialogs/qt/QtBlockListsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "dialogs/BlockListsDialog.h"
#include "dialogs/ListCatalogue.h"
#include "dns/FilterLists.h"
#include "tests/dialogs/qt/DialogControl.h"
#include "tests/shell/qt/QtTestApplication.h"
#include "tests/support/TempFolder.h"

namespace {

// A tick and a typed URL become rows of the table, Remove takes the selected row away, and
// OK stores what the table shows.
TEST(QtBlockListsDialogTest, TicksAndTypedUrlsBecomeRowsAndOkStoresThem) {
    EnsureQtApplication();
    const kit::CTempFolder folder;
    CFilterLists filters(folder.Profile(), nullptr);
    int updates = 0;
    CBlockListsDialog logic(folder.Profile(), filters, [&](const auto&) { ++updates; });
    CQtBlockListsDialog window(logic);
    EXPECT_EQ(window.windowTitle(), "Block Lists");
    auto* table = Control<QTableWidget>(window, CQtBlockListsDialog::kListTable);
    EXPECT_EQ(table->rowCount(), 0);

    Control<QCheckBox>(window, CQtBlockListsDialog::kFirstCatalogueBox + 2)->click();
    QTest::keyClicks(Control<QLineEdit>(window, CQtBlockListsDialog::kUrlEdit),
                     "https://lists.example/mine");
    Control<QPushButton>(window, CQtBlockListsDialog::kAddButton)->click();
    Control<QPushButton>(window, CQtBlockListsDialog::kAddButton)->click();  // empty: refused
    EXPECT_FALSE(Control<QLabel>(window, CQtBlockListsDialog::kAddRefusal)->text().isEmpty());
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), ListCatalogue()[2].url);
    EXPECT_EQ(table->item(1, 1)->text(), "Block");
    table->selectRow(0);
    Control<QPushButton>(window, CQtBlockListsDialog::kRemoveButton)->click();
    EXPECT_FALSE(
        Control<QCheckBox>(window, CQtBlockListsDialog::kFirstCatalogueBox + 2)->isChecked());

    window.findChild<QPushButton*>("IDOK")->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(folder.Profile().ReadString("Lists", "Block1", ""), "https://lists.example/mine");
    EXPECT_EQ(updates, 1);
}

}  // namespace
