#include "shell/HeadlessNotificationArea.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include "shell/NotifyIconData.h"

namespace {

// A service that runs for weeks changes its image with every query: only the current one
// is kept (a history of these changes would take some 400 kB).
TEST(HeadlessNotificationAreaTest, KeepsOnlyTheCurrentImage) {
    CHeadlessNotificationArea area;
    NotifyIconData data;
    data.flags = NotifyIconData::kFlagIcon;
    ASSERT_TRUE(area.Notify(NotifyMessage::kAdd, data));
    const std::size_t before = ::mallinfo2().uordblks;
    for (int change = 0; change < 100000; ++change) {
        data.icon = 131 + change % 6;
        ASSERT_TRUE(area.Notify(NotifyMessage::kModify, data));
    }
    EXPECT_LT(::mallinfo2().uordblks - before, 4096u);
    EXPECT_EQ(area.Icon(), 131 + 99999 % 6);
}

}  // namespace
