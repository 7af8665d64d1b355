#include "dns/LocalAnswer.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "tests/support/DnsMessages.h"

namespace {

using kit::Bytes;
using Builder = std::size_t (*)(dns::MessageBuffer& buffer, std::size_t questionEnd);

std::size_t Address(dns::MessageBuffer& buffer, std::size_t questionEnd) {
    return dns::BuildAddressAnswer(buffer, questionEnd, {10, 1, 2, 3});
}
std::size_t Refused(dns::MessageBuffer& buffer, std::size_t questionEnd) {
    return dns::BuildErrorReply(buffer, questionEnd, dns::kRcodeRefused);
}

TEST(LocalAnswerTest, KeepsIdAndQuestionAndCutsWhatFollowedIt) {
    // Two questions counted and an OPT record after the first, which ends at 29.
    Bytes query = kit::MakeQueryWithOpt(0xBEEF, "ads.example", kit::kTypeA);
    query[5] = 2;
    // Each reply: the ID, flags and counts, the question, then the answer record if any.
    const std::pair<Builder, Bytes> rows[] = {
        {Address, {0x85, 0, 0, 2, 0, 1,    0,    0, 0, 0,  0xC0, 0x0C, 0,
                   1,    0, 1, 0, 0, 0x1C, 0x20, 0, 4, 10, 1,    2,    3}},
        {dns::BuildLocalhostPointerAnswer,
         {0x85, 0,    0,    2, 0,  1, 0,   0,   0,   0,   0xC0, 0x0C, 0,   12,  0,   1, 0,
          1,    0x33, 0x50, 0, 11, 9, 'l', 'o', 'c', 'a', 'l',  'h',  'o', 's', 't', 0}},
        {dns::BuildEmptyAnswer, {0x85, 0, 0, 2, 0, 0, 0, 0, 0, 0}},
        {Refused, {0x81, 5, 0, 1, 0, 0, 0, 0, 0, 0}}};
    for (const auto& [build, tail] : rows) {
        dns::MessageBuffer buffer{};
        std::copy(query.begin(), query.end(), buffer.begin());
        Bytes expected = {0xBE, 0xEF};
        expected.insert(expected.end(), tail.begin(), tail.begin() + 10);
        expected.insert(expected.end(), query.begin() + 12, query.begin() + 29);
        expected.insert(expected.end(), tail.begin() + 10, tail.end());
        EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + build(buffer, 29)), expected);
    }
}

TEST(LocalAnswerTest, AnswerThatWouldNotFitTheBufferIsNotBuilt) {
    const std::tuple<Builder, std::size_t, std::size_t> rows[] = {
        {Address, 496, 512},
        {Address, 497, 0},
        {dns::BuildLocalhostPointerAnswer, 489, 512},
        {dns::BuildLocalhostPointerAnswer, 490, 0},
        {dns::BuildEmptyAnswer, 512, 512},
        {Refused, 512, 512},
        {Refused, 513, 0},
        {Refused, 11, 0}};
    for (const auto& [build, questionEnd, length] : rows) {
        dns::MessageBuffer buffer{};
        EXPECT_EQ(build(buffer, questionEnd), length) << questionEnd;
        if (length == 0) {
            EXPECT_EQ(buffer, dns::MessageBuffer{});  // left as it was
        }
    }
}

}  // namespace
