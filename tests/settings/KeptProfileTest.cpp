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
