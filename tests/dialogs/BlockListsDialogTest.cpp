#include "dialogs/BlockListsDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/ListCatalogue.h"
#include "dns/FilterLists.h"
#include "settings/ProfileKeys.h"
#include "subscriptions/ListFileName.h"
#include "subscriptions/ListPaths.h"
#include "subscriptions/ListState.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kMine = "https://lists.example/mine";

class BlockListsDialogTest : public ::testing::Test {
protected:
    BlockListsDialogTest() {
        m_folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath,
                                       m_folder.Path());
    }
    std::string Key(std::string_view key) const {
        return m_folder.Profile().ReadString(profile::kLists, key, "");
    }

    kit::CTempFolder m_folder;
    CFilterLists m_filters{m_folder.Profile(), nullptr};
    std::vector<std::vector<ListSubscription>> m_updates;
    CBlockListsDialog m_dialog{m_folder.Profile(), m_filters,
                               [this](const auto& lists) { m_updates.push_back(lists); }};
};

TEST_F(BlockListsDialogTest, OkStoresTheListsInOrderKeepsHandWrittenValuesAndFetchesTheAdded) {
    const ProfileEntry stored[] = {{profile::kLists, "Block1", "not a url"},
                                   {profile::kLists, "Block4", kMine},
                                   {profile::kLists, "Allow2", "https://allow.example/"}};
    ASSERT_TRUE(m_folder.Profile().WriteStrings(stored));
    m_dialog.OnInitDialog();
    EXPECT_FALSE(m_dialog.IsTicked(1));
    m_dialog.SetTicked(1, true);
    EXPECT_TRUE(m_dialog.IsTicked(1));
    m_dialog.Remove(1);  // the allow list
    EXPECT_EQ(m_dialog.Add({ListSide::kBlock, kMine}), "This list is subscribed already.");
    EXPECT_EQ(m_dialog.Add({ListSide::kAllow, "ftp://x.example/"}),
              "Not an http:// or https:// URL.");
    EXPECT_EQ(m_dialog.Add({ListSide::kAllow, kMine}), "");
    ASSERT_TRUE(m_dialog.OnOK());

    EXPECT_EQ(Key("Block1"), "not a url");
    EXPECT_EQ(Key("Block2"), kMine);
    EXPECT_EQ(Key("Block3"), ListCatalogue()[1].url);
    EXPECT_EQ(Key("Block4"), "");
    EXPECT_EQ(Key("Allow1"), kMine);
    EXPECT_EQ(Key("Allow2"), "");
    const std::vector<ListSubscription> added = {{ListSide::kBlock, ListCatalogue()[1].url},
                                                 {ListSide::kAllow, kMine}};
    EXPECT_EQ(m_updates, (std::vector<std::vector<ListSubscription>>{added}));
}

TEST_F(BlockListsDialogTest, RowsShowWhatTheLoadAndTheDownloadsFoundAndOtherFilesTheirCounts) {
    m_folder.Profile().WriteString(profile::kLists, "Block1", kMine);
    const ListSubscription mine{ListSide::kBlock, kMine};
    m_folder.AddFolder("block");
    std::string names;
    for (int i = 0; i < 123; ++i) {
        names += "n" + std::to_string(i) + ".example\n";
    }
    m_folder.Write("block/" + ListFileName(kMine), names);
    m_folder.Write("block/own.txt", "c.example\n||d.example^$third-party\n");
    WriteListState(ListStatePath(m_folder.Path(), mine), {"", "", 7, 0, "HTTP status 500"});
    m_filters.LoadFilters();
    m_dialog.OnInitDialog();
    EXPECT_EQ(m_dialog.Rows(),
              (std::vector<CBlockListsDialog::Row>{{mine, "123", "", "HTTP status 500"}}));
    EXPECT_EQ(m_dialog.OtherFiles(),
              (std::vector<std::string>{"block/own.txt: 1 name (1 line skipped)"}));
    m_dialog.OnUpdateNow();
    EXPECT_EQ(m_updates, (std::vector<std::vector<ListSubscription>>{{mine}}));
}

}  // namespace
