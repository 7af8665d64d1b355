#include "dns/RelayedReply.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/support/DnsMessages.h"

namespace {

using kit::Bytes;

Bytes Set(Bytes message, std::size_t offset, std::uint8_t value) {
    message.at(offset) = value;
    return message;
}

TEST(RelayedReplyTest, ReplySizeLimitFollowsAnOptRecordOfTheAdditionalSection) {
    const Bytes opt4096 = kit::MakeQueryWithOpt(1, "www.example", kit::kTypeA, 4096);
    // An additional record owned by the question's name through a pointer, then the OPT.
    Bytes pointerOwned = Set(kit::MakeQuery(1, "www.example"), 11, 2);
    const Bytes record = {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 0, 0, 4, 1, 2, 3, 4};
    const Bytes opt2000 = kit::MakeQueryWithOpt(1, "www.example", kit::kTypeA, 2000);
    pointerOwned.insert(pointerOwned.end(), record.begin(), record.end());
    pointerOwned.insert(pointerOwned.end(), opt2000.end() - 11, opt2000.end());
    const std::pair<Bytes, std::size_t> rows[] = {
        {kit::MakeQuery(1, "www.example"), 512},
        {kit::MakeQueryWithOpt(1, "a", kit::kTypeA, 1232), 1232},
        {kit::MakeQueryWithOpt(1, "a", kit::kTypeA, 65535), 4096},
        {kit::MakeQueryWithOpt(1, "a", kit::kTypeA, 100), 512},
        {Set(Set(opt4096, 7, 1), 11, 0), 512},  // the OPT record in the answer section
        {Bytes(opt4096.begin(), opt4096.end() - 1), 512},
        {pointerOwned, 2000},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const Bytes& query = rows[row].first;
        EXPECT_EQ(dns::ReplySizeLimit(query.data(), query.size()), rows[row].second) << row;
    }
}

TEST(RelayedReplyTest, AReplyIsAResponseToAStandardQueryWithTheQuerysIdAndQuestion) {
    // "www.example" type A: QTYPE at 25, QCLASS at 27, the question ends at 29.
    const Bytes query = kit::MakeQuery(0x1234, "www.example");
    const Bytes reply = kit::UpstreamReply(query, 1);
    const Bytes header(reply.begin(), reply.begin() + 12);
    const std::pair<Bytes, bool> rows[] = {
        {reply, true},
        {Set(Set(reply, 13, 'W'), 18, 'X'), true},  // the name in other letter case
        {Set(reply, 1, 0x35), false},               // another ID
        {query, false},                             // the query sent back, QR clear
        {Set(reply, 2, 0xA9), false},               // OPCODE 5
        {Set(reply, 14, 'v'), false},
        {Set(Set(reply, 12, 4), 16, 2), false},  // other label lengths
        {Set(reply, 26, kit::kTypeAaaa), false},
        {Bytes(reply.begin(), reply.begin() + 28), false},
        {Set(Set(header, 5, 0), 3, 0x82), true},  // an error without a question
        {Set(header, 5, 0), false},
        {Set(Set(Set(header, 5, 0), 3, 0x82), 2, 0x01), false},  // the same, QR clear
        {Bytes(reply.begin(), reply.begin() + 11), false},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const Bytes& answer = rows[row].first;
        EXPECT_EQ(dns::AnswersQuery(query.data(), 29, answer.data(), answer.size()),
                  rows[row].second)
            << row;
    }
}

}  // namespace
