#include "dns/RelayedReply.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "DnsQueryBuilder.h"
#include "dns/DnsQuestion.h"

namespace {

using dnstest::Bytes;

constexpr std::uint16_t kTypeA = 1;

struct LimitCase {
    const char* what;
    Bytes query;
    std::size_t limit;
};

Bytes WithOptInAnswerSection() {
    Bytes query = dnstest::MakeQueryWithOpt(1, "www.example", kTypeA, 4096);
    query[7] = 1;   // ANCOUNT 1
    query[11] = 0;  // ARCOUNT 0
    return query;
}

Bytes CutShort(Bytes query) {
    query.pop_back();
    return query;
}

Bytes WithPointerOwnerBeforeOpt() {
    // An additional record owned by the question's name through a pointer, then the OPT.
    Bytes query = dnstest::MakeQuery(1, "www.example", kTypeA);
    query[11] = 2;
    const Bytes pointerRecord = {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 0, 0, 4, 1, 2, 3, 4};
    query.insert(query.end(), pointerRecord.begin(), pointerRecord.end());
    const Bytes opt = dnstest::MakeQueryWithOpt(1, "www.example", kTypeA, 2000);
    query.insert(query.end(), opt.end() - 11, opt.end());
    return query;
}

class ReplySizeLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ReplySizeLimitTest, FollowsTheQuerysOptRecord) {
    const Bytes& query = GetParam().query;
    EXPECT_EQ(dns::ReplySizeLimit(query.data(), query.size()), GetParam().limit);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, ReplySizeLimitTest,
    ::testing::Values(
        LimitCase{"NoOpt", dnstest::MakeQuery(1, "www.example", kTypeA), 512},
        LimitCase{"Opt1232", dnstest::MakeQueryWithOpt(1, "www.example", kTypeA, 1232), 1232},
        LimitCase{"Opt4096", dnstest::MakeQueryWithOpt(1, "www.example", kTypeA, 4096), 4096},
        LimitCase{"LargerOptIsCapped", dnstest::MakeQueryWithOpt(1, "a", kTypeA, 65535), 4096},
        LimitCase{"SmallerOptStillTakes512", dnstest::MakeQueryWithOpt(1, "a", kTypeA, 100), 512},
        LimitCase{"OptOutsideTheAdditionalSection", WithOptInAnswerSection(), 512},
        LimitCase{"CutShortOpt", CutShort(dnstest::MakeQueryWithOpt(1, "a", kTypeA, 4096)), 512},
        LimitCase{"OptAfterARecordWithAPointer", WithPointerOwnerBeforeOpt(), 2000},
        LimitCase{"HeaderOnly", Bytes(12, 0), 512}),
    [](const auto& info) { return std::string(info.param.what); });

struct AnswerCase {
    const char* what;
    std::function<Bytes(Bytes reply)> change;
    bool answers;
};

Bytes Set(Bytes message, std::size_t offset, std::uint8_t value) {
    message[offset] = value;
    return message;
}

// The query is for "www.example" type A: QTYPE at 25, QCLASS at 27, the question ends at 29.
const AnswerCase kAnswerCases[] = {
    {"SameQuestion", [](Bytes reply) { return reply; }, true},
    {"NameInOtherLetterCase", [](Bytes reply) { return Set(Set(reply, 13, 'W'), 18, 'X'); }, true},
    {"OtherId", [](Bytes reply) { return Set(reply, 1, 0x35); }, false},
    {"OtherName", [](Bytes reply) { return Set(reply, 14, 'v'); }, false},
    {"OtherLabelLengths", [](Bytes reply) { return Set(Set(reply, 12, 4), 16, 2); }, false},
    {"OtherType", [](Bytes reply) { return Set(reply, 26, 28); }, false},
    {"OtherClass", [](Bytes reply) { return Set(reply, 28, 3); }, false},
    {"CutInsideTheQuestion", [](Bytes reply) { return Bytes(reply.begin(), reply.end() - 1); },
     false},
    {"ErrorWithoutQuestion",
     [](Bytes reply) { return Set(Set(Bytes(reply.begin(), reply.begin() + 12), 5, 0), 3, 0x82); },
     true},
    {"NoErrorWithoutQuestion",
     [](Bytes reply) { return Set(Bytes(reply.begin(), reply.begin() + 12), 5, 0); }, false},
    {"ShorterThanAHeader", [](Bytes reply) { return Bytes(reply.begin(), reply.begin() + 11); },
     false},
};

class AnswersQueryTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswersQueryTest, NeedsTheIdAndTheQuestion) {
    const Bytes query = dnstest::MakeQuery(0x1234, "www.example", kTypeA);
    CDnsQuestion question;
    ASSERT_TRUE(question.Decode(query.data(), query.size()));
    Bytes reply = query;
    reply[2] = 0x81;
    reply[3] = 0x80;
    reply = GetParam().change(reply);
    EXPECT_EQ(dns::AnswersQuery(query.data(), question.End(), reply.data(), reply.size()),
              GetParam().answers);
}

INSTANTIATE_TEST_SUITE_P(Replies, AnswersQueryTest, ::testing::ValuesIn(kAnswerCases),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
