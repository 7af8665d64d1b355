#include "httpd/RandomGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(RandomGeneratorTest, FirstDrawsPickTheKnownImageDigits) {
    CRandomGenerator random;
    std::vector<int> digits;
    for (int i = 0; i < 10; ++i) {
        digits.push_back(random.Next() % 6);
    }
    EXPECT_EQ(digits, (std::vector<int>{5, 5, 4, 4, 5, 4, 0, 0, 4, 2}));
}

TEST(RandomGeneratorTest, FollowsTheLinearCongruenceThroughWrapAround) {
    CRandomGenerator random;
    std::uint64_t state = 1;
    for (int i = 0; i < 100000; ++i) {
        state = (state * 214013 + 2531011) % (std::uint64_t{1} << 32);
        const int expected = static_cast<int>((state >> 16) & 0x7FFF);
        ASSERT_EQ(random.Next(), expected) << "draw " << i;
    }
}

}  // namespace
