#include "quorvin/ServiceText.h"

#include <gtest/gtest.h>

namespace {

using namespace quorvin;

TEST(QuorvinServiceTextTest, TipCountsPicturesAndTheLineEveryOutcome) {
    httpd::RequestCounters counters;
    EXPECT_EQ(ServiceTip(counters), "Quorvin\n0 pictures served");
    for (int i = 0; i < 2001; ++i) {
        counters.Count(i < 1999 ? httpd::RequestOutcome::kPicture
                                : (i == 1999 ? httpd::RequestOutcome::kNoPicture
                                             : httpd::RequestOutcome::kRefused));
    }
    EXPECT_EQ(ServiceTip(counters), "Quorvin\n1,999 pictures served");
    EXPECT_EQ(StatusLine(counters), "Quorvin: 2001 requests, 1999 pictures served, 1 refused");
}

}  // namespace
