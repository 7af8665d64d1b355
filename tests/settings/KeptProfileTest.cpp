#include "settings/KeptProfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/ProfileStore.h"
#include "tests/support/TempFolder.h"

TEST(KeptProfileTest, SeesEveryChangeOfTheFileAtTheNextRead) {
    const kit::CTempFolder folder;
    const ProfileStore& store = folder.Profile();
    CKeptProfile kept(store);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);
    store.WriteInt("S", "K", 1);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 1);
    store.WriteInt("S", "K", 2);  // same size, same second
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 2);
    folder.Write("NIMBREL.INI", "[S]\nK=33\n");  // rewritten in place
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 33);
    EXPECT_TRUE(kept.WriteInt("S", "K", 4));
    EXPECT_EQ(store.ReadInt("S", "K", 7), 4);
    std::filesystem::remove(store.Path());
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);
}

// Watching, the file is read again only after its folder has reported a change: every kind
// of change is reported, and the watch ends, back to looking at the file, with the folder.
TEST(KeptProfileTest, WatchingReadsTheFileAgainOnlyAfterAReportedChange) {
    const kit::CTempFolder folder;
    const std::string config = folder.AddFolder("config");
    const ProfileStore store(config + "/NIMBREL.INI");
    CKeptProfile kept(store);
    ASSERT_TRUE(kept.WatchChanges());
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);
    store.WriteInt("S", "K", 1);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);  // not reported yet
    kept.TakeChanges();
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 1);
    folder.Write("other.txt", "x");
    folder.Write("config/NIMBREL.INI.bak", "[S]\nK=5\n");
    kept.TakeChanges();
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 1);
    folder.Write("config/NIMBREL.INI", "[S]\nK=33\n");  // rewritten in place
    kept.TakeChanges();
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 33);
    EXPECT_TRUE(kept.WriteInt("S", "K", 4));  // its own writes are seen at once
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 4);
    std::filesystem::remove(store.Path());
    kept.TakeChanges();
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);

    std::filesystem::remove_all(config);
    kept.TakeChanges();
    std::filesystem::create_directory(config);
    folder.Write("config/NIMBREL.INI", "[S]\nK=9\n");
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 9);
    EXPECT_FALSE(CKeptProfile(ProfileStore(folder.Path() + "/none/P.INI")).WatchChanges());
}
