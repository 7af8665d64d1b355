#include "activity/ActivityText.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/Thousands.h"

namespace {

TEST(ActivityTextTest, TypesHaveTheirNamesAndOthersTheirNumber) {
    const std::tuple<std::uint16_t, const char*> rows[] = {
        {1, "A"},    {28, "AAAA"}, {65, "HTTPS"}, {12, "PTR"},         {15, "MX"},
        {16, "TXT"}, {0, "TYPE0"}, {5, "TYPE5"},  {65535, "TYPE65535"}};
    for (const auto& [type, name] : rows) {
        EXPECT_EQ(activity::QueryTypeName(type), name);
    }
}

TEST(ActivityTextTest, CountersLineNamesEachCounterWithPlainNumbers) {
    CQueryCounters counters;
    for (int i = 0; i < 1234; ++i) {
        counters.Count(ActivityOutcome::kRelayed);
    }
    counters.Count(ActivityOutcome::kLocal);
    EXPECT_EQ(activity::CountersLine(counters),
              "1235 queries, 0 blocked, 1234 relayed, 0 refused, 0 failed, 0 dropped, 1 local");
}

TEST(ActivityTextTest, ServerIsItsDottedAddressAndNoServerIsBlank) {
    EXPECT_EQ(activity::ServerText(0x0100007F), "127.0.0.1");  // in network order
    EXPECT_EQ(activity::ServerText(0), "");
}

TEST(ThousandsTest, GroupsOfThreeDigitsAreSeparatedByCommas) {
    const std::tuple<std::uint64_t, const char*> rows[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {123456, "123,456"},
        {1234567, "1,234,567"},
        {18446744073709551615u, "18,446,744,073,709,551,615"}};
    for (const auto& [number, text] : rows) {
        EXPECT_EQ(WithThousands(number), text);
    }
}

}  // namespace
