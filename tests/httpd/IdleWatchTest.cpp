#include "httpd/IdleWatch.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(IdleWatchTest, OnlyProgressOrAShrinkingSendQueueResetsTheQuietLooks) {
    // Columns: quiet looks and queue before; progress, queue now; quiet looks after.
    const std::tuple<int, int, bool, int, int> rows[] = {
        {0, -1, false, -1, 1},     {4, -1, true, -1, 0},      {4, -1, false, 5000, 5},
        {4, 5000, false, 4999, 0}, {4, 5000, false, 5000, 5}, {4, 5000, false, 6000, 5},
        {4, 5000, true, 5000, 0},  {4, 0, false, 0, 5}};
    for (const auto& [looks, queued, progressed, queuedNow, looksAfter] : rows) {
        const httpd::IdleWatch after = httpd::LookAt({looks, queued}, progressed, queuedNow);
        EXPECT_EQ(after.quietLooks, looksAfter) << looks << " " << queued << " " << queuedNow;
        EXPECT_EQ(after.queuedBytes, queuedNow);
    }
}

TEST(IdleWatchTest, AConnectionStallsOnceItsQuietLooksExceedTheAllowance) {
    EXPECT_FALSE(httpd::HasStalled({10, -1}, 10));
    EXPECT_TRUE(httpd::HasStalled({11, -1}, 10));
}

}  // namespace
