#include "httpd/RequestReading.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using enum httpd::ReadStep;

TEST(RequestReadingTest, ARequestEndsAtTheFirstReceiveThatDoesNotFillTheBuffer) {
    // Columns: bytes received, receives so far; the next step.
    const std::tuple<int, int, httpd::ReadStep> rows[] = {
        {0, 1, kComplete},     {18, 1, kComplete},      {1023, 31, kComplete},
        {1023, 32, kComplete}, {1024, 1, kKeepReading}, {1024, 31, kKeepReading},
        {1024, 32, kRefuse},   {1024, 40, kRefuse}};
    for (const auto& [received, receives, step] : rows) {
        EXPECT_EQ(httpd::NextReadStep(received, receives), step) << received << " " << receives;
    }
}

}  // namespace
