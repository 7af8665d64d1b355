#include "activity/RecentQueries.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>

namespace {

// The ring against a plain list of everything added, at every fill level up to three turns.
TEST(RecentQueriesTest, HoldsTheNewestQueriesNewestFirstAtEveryFillLevel) {
    constexpr std::size_t kCapacity = 7;
    CRecentQueries ring(kCapacity);
    std::deque<std::string> added;
    for (int i = 0; i < 3 * static_cast<int>(kCapacity); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(ring.Size(), std::min(added.size(), kCapacity));
        for (std::size_t age = 0; age < ring.Size(); ++age) {
            const RecentQuery& query = ring.Newest(age);
            EXPECT_EQ(query.Name(), added[added.size() - 1 - age]);
            EXPECT_EQ(query.sequence, added.size() - age);
        }
        added.push_back("q" + std::to_string(i) + ".example");
        ring.Add(QueryRecord{added.back(), 28, ActivityOutcome::kRelayed, 0x0100007F, 1500}, i);
    }
    const RecentQuery& newest = ring.Newest(0);
    EXPECT_EQ(
        std::tie(newest.type, newest.outcome, newest.server, newest.durationUs, newest.timeMs),
        std::make_tuple(28, ActivityOutcome::kRelayed, 0x0100007Fu, 1500u, 20));
    ring.Clear();
    EXPECT_EQ(ring.Size(), 0u);
    EXPECT_EQ(ring.Added(), 0u);
}

TEST(RecentQueriesTest, NamesAreCutAt255Bytes) {
    CRecentQueries ring;
    EXPECT_EQ(ring.Capacity(), 1000u);
    for (const std::size_t length : {0u, 1u, 254u, 255u, 256u, 1000u}) {
        SCOPED_TRACE(length);
        const std::string name(length, 'n');
        ring.Add(QueryRecord{name, 1, ActivityOutcome::kBlocked}, 0);
        EXPECT_EQ(ring.Newest(0).Name(), name.substr(0, 255));
    }
}

}  // namespace
