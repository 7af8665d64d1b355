#include "nimbrel/ServiceText.h"

#include <gtest/gtest.h>

#include "activity/QueryCounters.h"

namespace {

using namespace nimbrel;

TEST(NimbrelServiceTextTest, TipShowsBlockedOfAllQueriesWhileRunningAndStoppedOtherwise) {
    CQueryCounters counters;
    EXPECT_EQ(ServiceTip(true, counters), "Nimbrel\n0 blocked of 0 queries");
    for (int i = 0; i < 1500; ++i) {
        counters.Count(i % 3 == 0 ? QueryOutcome::kBlocked : QueryOutcome::kRelayed);
    }
    EXPECT_EQ(ServiceTip(true, counters), "Nimbrel\n500 blocked of 1,500 queries");
    EXPECT_EQ(ServiceTip(false, counters), "Nimbrel\nstopped");
    EXPECT_EQ(StatusLine(counters),
              "Nimbrel: 1500 queries, 500 blocked, 1000 relayed, 0 refused, "
              "0 failed, 0 dropped, 0 local");
}

}  // namespace
