#include "shell/HeadlessNotificationArea.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "shell/NotifyIconData.h"

// Counts the allocations of this test program, to show what the area keeps.
namespace {
std::size_t g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

TEST(HeadlessNotificationAreaTest, KeepsOnlyTheCurrentImage) {
    CHeadlessNotificationArea area;
    NotifyIconData data;
    data.flags = NotifyIconData::kFlagIcon;
    data.icon = 131;
    ASSERT_TRUE(area.Notify(NotifyMessage::kAdd, data));
    const std::size_t before = g_allocations;
    for (int change = 0; change < 100000; ++change) {
        data.icon = 131 + change % 6;
        ASSERT_TRUE(area.Notify(NotifyMessage::kModify, data));
    }
    EXPECT_EQ(g_allocations, before);
    EXPECT_EQ(area.Icon(), 131 + 99999 % 6);
}

}  // namespace
