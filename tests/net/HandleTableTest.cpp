#include "net/HandleTable.h"

#include <gtest/gtest.h>

namespace {

// A token's top bit is the reactor's mark of a watched descriptor: the generation wraps
// within 31 bits, and a removed token never finds the slot's next item.
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

}  // namespace
