#include "activity/QueryLog.h"

#include <gtest/gtest.h>

namespace {

TEST(QueryLogTest, CountsEveryOutcomeKeepsNamesOnlyWhenAskedAndRestartsFromNothing) {
    CQueryLog log;
    using enum ActivityOutcome;
    for (const ActivityOutcome outcome :
         {kBlocked, kRelayed, kRefused, kFailed, kDropped, kLocal, kBlocked}) {
        log.Record(QueryRecord{"a.example", 1, outcome});
    }
    EXPECT_EQ(log.Counters().Queries(), 7u);
    EXPECT_EQ(log.Counters().Of(kBlocked), 2u);
    EXPECT_EQ(log.Counters().Of(kLocal), 1u);
    EXPECT_EQ(log.Recent().Size(), 7u);
    EXPECT_GT(log.Recent().Newest(0).timeMs, 0);

    log.Restart(false);
    EXPECT_EQ(log.Counters().Queries() + log.Recent().Size(), 0u);
    log.Record(QueryRecord{"a.example", 1, kBlocked});
    EXPECT_EQ(log.Counters().Of(kBlocked), 1u);
    EXPECT_EQ(log.Recent().Size(), 0u);
    EXPECT_FALSE(log.KeepsNames());
}

}  // namespace
