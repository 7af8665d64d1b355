#include "dialogs/qt/QtActivityWindow.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "activity/QueryLog.h"
#include "dialogs/ActivityDialog.h"
#include "dns/FilterLists.h"
#include "settings/ProfileKeys.h"
#include "tests/dialogs/ScriptedDesktop.h"
#include "tests/shell/qt/QtTestApplication.h"
#include "tests/support/TempFolder.h"

namespace {

QString Cell(const QTableView& table, int row, int column) {
    return table.model()->index(row, column).data().toString();
}

TEST(QtActivityWindowTest, FollowsTheLogKeepsTheSelectionAndAllowsTheSelectedName) {
    EnsureQtApplication();
    const kit::CTempFolder folder;
    folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath, folder.Path());
    folder.Write("named.txt", "ads.example\n");
    CFilterLists filters(folder.Profile(), nullptr);
    filters.LoadFilters();
    CQueryLog log;
    log.Record(QueryRecord{"img.ads.example", 1, ActivityOutcome::kBlocked});
    log.Record(
        QueryRecord{"www.example", 28, ActivityOutcome::kRelayed, ::inet_addr("192.0.2.1"), 2500});
    dialogtest::CScriptedDesktop desktop;
    CActivityDialog dialog(log, filters, folder.Profile(), desktop);
    CQtActivityWindow window(dialog);
    auto& table = *window.findChild<QTableView*>("table");
    auto& allow = *window.findChild<QPushButton*>("allow");

    ASSERT_EQ(table.model()->rowCount(), 2);
    EXPECT_EQ(Cell(table, 0, CActivityTableModel::kName), "www.example");
    EXPECT_EQ(Cell(table, 0, CActivityTableModel::kServer), "192.0.2.1");
    EXPECT_EQ(Cell(table, 0, CActivityTableModel::kDuration), "2.5");
    EXPECT_EQ(Cell(table, 1, CActivityTableModel::kOutcome), "blocked");
    EXPECT_EQ(window.findChild<QLabel*>("counters")->text(),
              "2 queries, 1 blocked, 1 relayed, 0 refused, 0 failed, 0 dropped, 0 local");
    EXPECT_FALSE(allow.isEnabled());

    table.selectRow(1);
    EXPECT_TRUE(allow.isEnabled());
    // A new query goes on top; the selection stays with its query.
    log.Record(QueryRecord{"new.example", 1, ActivityOutcome::kDropped});
    window.Refresh();
    ASSERT_EQ(table.model()->rowCount(), 3);
    EXPECT_EQ(table.selectionModel()->selectedRows().at(0).row(), 2);
    window.findChild<QLineEdit*>("filter")->setText("example");
    window.findChild<QCheckBox*>("blockedOnly")->setChecked(true);
    ASSERT_EQ(table.model()->rowCount(), 1);
    EXPECT_EQ(table.selectionModel()->selectedRows().at(0).row(), 0);

    allow.click();
    EXPECT_EQ(folder.Read("pass.txt"), "img.ads.example\n");
}

}  // namespace
