#include "shell/InstanceLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "tests/support/TempFolder.h"

TEST(InstanceLockTest, ANameIsTakenWhileItsHolderLivesAndNeverThroughALink) {
    const kit::CTempFolder folder;
    std::optional<CInstanceLock> first(std::in_place, folder.Path(), "NIMBRELLERBMIN");
    ASSERT_TRUE(first->IsValid());
    EXPECT_FALSE(first->AlreadyExisted());
    EXPECT_TRUE(CInstanceLock(folder.Path(), "NIMBRELLERBMIN").AlreadyExisted());
    first.reset();
    EXPECT_FALSE(CInstanceLock(folder.Path(), "NIMBRELLERBMIN").AlreadyExisted());

    std::filesystem::create_symlink(folder.Path() + "/elsewhere", folder.Path() + "/LINKED");
    EXPECT_FALSE(CInstanceLock(folder.Path(), "LINKED").IsValid());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/elsewhere"));
}
