#include "dns/UseCode.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

TEST(UseCodeTest, DigitsBecomeSelectionBits) {
    // Columns: UseCode; the masks of "If passed" and "If not named".
    const std::tuple<int, int, int> rows[] = {
        {0, 0, 0},     {33333, 31, 31},  {21000, 1, 2},     {1, 0, 16},     {45678, 12, 10},
        {88888, 0, 0}, {133333, 31, 31}, {INT_MAX, 22, 18}, {-33333, 0, 0}, {INT_MIN, 0, 0}};
    for (const auto& [useCode, passMask, notNamedMask] : rows) {
        EXPECT_EQ(dns::PassMask(useCode), passMask) << useCode;
        EXPECT_EQ(dns::NotNamedMask(useCode), notNamedMask) << useCode;
    }
}

}  // namespace
