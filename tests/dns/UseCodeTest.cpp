#include "dns/UseCode.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct MaskCase {
    int useCode;
    int passMask;
    int notNamedMask;
};

class UseCodeTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(UseCodeTest, DigitsBecomeSelectionBits) {
    EXPECT_EQ(dns::PassMask(GetParam().useCode), GetParam().passMask);
    EXPECT_EQ(dns::NotNamedMask(GetParam().useCode), GetParam().notNamedMask);
}

INSTANTIATE_TEST_SUITE_P(
    UseCodes, UseCodeTest,
    ::testing::Values(MaskCase{0, 0, 0}, MaskCase{33333, 31, 31}, MaskCase{20000, 1, 0},
                      MaskCase{10000, 0, 1}, MaskCase{21000, 1, 2}, MaskCase{1, 0, 16},
                      MaskCase{31000, 1, 3}, MaskCase{77777, 31, 31}, MaskCase{88888, 0, 0},
                      MaskCase{45678, 12, 10}, MaskCase{133333, 31, 31}, MaskCase{INT_MAX, 22, 18},
                      MaskCase{-1, 0, 0}, MaskCase{-33333, 0, 0}, MaskCase{INT_MIN, 0, 0}));

}  // namespace
