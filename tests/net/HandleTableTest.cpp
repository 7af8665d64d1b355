#include <gtest/gtest.h>

#include "net/HandleTable.h"

namespace {

TEST(HandleTableTest, TokenOfRemovedEntryFindsNothingAfterSlotReuse) {
    CHandleTable<int> table;
    int first = 1;
    int second = 2;
    std::uint64_t old = table.Add(&first);
    table.Remove(old);
    std::uint64_t reused = table.Add(&second);
    EXPECT_EQ(static_cast<std::uint32_t>(old), static_cast<std::uint32_t>(reused));
    EXPECT_EQ(table.Find(old), nullptr);
    EXPECT_EQ(table.Find(reused), &second);
    table.Remove(old);
    EXPECT_EQ(table.Find(reused), &second);
}

TEST(HandleTableTest, GenerationWrapsWithoutSettingTheTopBit) {
    CHandleTable<int> table(CHandleTable<int>::kGenerationMask);
    int item = 1;
    std::uint64_t last = table.Add(&item);
    for (int reuse = 0; reuse < 2; ++reuse) {
        table.Remove(last);
        const std::uint64_t next = table.Add(&item);
        EXPECT_EQ(next >> 63, 0u);
        EXPECT_EQ(table.Find(last), nullptr);
        EXPECT_EQ(table.Find(next), &item);
        last = next;
    }
}

TEST(HandleTableTest, UnknownTokensFindNothing) {
    CHandleTable<int> table;
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.Find(~std::uint64_t{0}), nullptr);
}

}  // namespace
