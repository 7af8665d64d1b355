#include "dialogs/ActivityDialog.h"

#include <gtest/gtest.h>

#include <tuple>

#include "activity/QueryLog.h"
#include "dns/FilterLists.h"
#include "settings/ProfileKeys.h"
#include "tests/dialogs/ScriptedDesktop.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ActivityDialogTest, TableListsNamesHoldingTheFilterInAnyCaseAndBlockedOnlyWhenAsked) {
    CRecentQueries recent(4);
    recent.Add(QueryRecord{"Img.Ads.example", 1, ActivityOutcome::kBlocked}, 0);
    recent.Add(QueryRecord{"www.example", 1, ActivityOutcome::kRelayed}, 0);
    const RecentQuery& blocked = recent.Newest(1);
    const RecentQuery& relayed = recent.Newest(0);
    // Columns: the filter, blocked only; whether the blocked and the relayed query are listed.
    const std::tuple<const char*, bool, bool, bool> rows[] = {
        {"", false, true, true},      {"", true, true, false},
        {"ADS", false, true, false},  {"example", true, true, false},
        {"www.", false, false, true}, {"nothing", false, false, false},
    };
    for (const auto& [filter, blockedOnly, listsBlocked, listsRelayed] : rows) {
        SCOPED_TRACE(filter);
        EXPECT_EQ(ListsQuery(blocked, filter, blockedOnly), listsBlocked);
        EXPECT_EQ(ListsQuery(relayed, filter, blockedOnly), listsRelayed);
    }
}

TEST(ActivityDialogTest, AllowAndBlockListTheNameLowerCasedAndReloadTheLists) {
    const kit::CTempFolder folder;
    folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath, folder.Path());
    folder.Write("named.txt", "ads.example");
    folder.Write("pass.txt", "ok.example\n");
    CFilterLists filters(folder.Profile(), nullptr);
    filters.LoadFilters();
    const CQueryLog log;
    dialogtest::CScriptedDesktop desktop;
    CActivityDialog dialog(log, filters, folder.Profile(), desktop);

    EXPECT_TRUE(dialog.Allow("IMG.Ads.example"));
    EXPECT_EQ(folder.Read("pass.txt"), "ok.example\nimg.ads.example\n");
    EXPECT_TRUE(filters.IsPassed("img.ads.example"));
    EXPECT_TRUE(dialog.Block("Tracker.example"));
    EXPECT_EQ(folder.Read("named.txt"), "ads.example\ntracker.example\n");
    EXPECT_TRUE(filters.IsNamed("tracker.example") && desktop.messages.empty());

    // The pass list wins: the user hears that the name stays relayed.
    EXPECT_TRUE(dialog.Block("cdn.ok.example"));
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_FALSE(dialog.Allow("a\nb.example"));
    EXPECT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(folder.Read("pass.txt"), "ok.example\nimg.ads.example\n");
}

}  // namespace
