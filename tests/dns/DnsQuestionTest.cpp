#include "dns/DnsQuestion.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "tests/support/DnsMessages.h"

namespace {

using kit::Bytes;

Bytes Cat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(DnsQuestionTest, DecodesOnlyACompleteFirstQuestionInsideTheMessage) {
    const Bytes query = kit::MakeQuery(1, "ads.example");
    const Bytes header(query.begin(), query.begin() + 12);
    const Bytes wireName = kit::EncodeName("ads.example");
    Bytes full = query;
    full.resize(512, 0xEE);
    Bytes longer = query;
    longer.resize(513);
    // The question itself runs past the first 512 bytes.
    const Bytes pastLimit =
        Cat(header,
            Cat({255}, Cat(Bytes(255, 'z'), Cat({255}, Cat(Bytes(255, 'z'), {0, 0, 1, 0, 1})))));
    // Columns: the message; the name, QTYPE and end of its question, end 0 for none.
    const std::tuple<Bytes, std::string, std::uint16_t, std::size_t> rows[] = {
        {kit::MakeQueryWithOpt(1, "Img.Ads.Example", kit::kTypePtr), "Img.Ads.Example", 12, 33},
        {kit::MakeQuery(1, ""), "", 1, 17},
        {kit::MakeQuery(1, std::string("a\0b.c d", 7)), std::string("a\0b.c d", 7), 1, 25},
        // 0xC0 would start a compression pointer; here it is the length of a 192-byte label.
        {Cat(header, Cat({0xC0}, Cat(Bytes(192, 'z'), {0, 0, 28, 0, 1}))), std::string(192, 'z'),
         28, 210},
        {full, "ads.example", 1, 29},
        {{}, "", 0, 0},
        {header, "", 0, 0},
        {Cat(header, {5, 'a', 'd'}), "", 0, 0},
        {Cat(header, {3, 'a', 'd', 's'}), "", 0, 0},
        {Cat(header, Cat(wireName, {0})), "", 0, 0},
        {Cat(header, Cat(wireName, {0, 1, 0})), "", 0, 0},
        {longer, "ads.example", 1, 29},
        {pastLimit, "", 0, 0}};
    int row = 0;
    for (const auto& [message, name, type, end] : rows) {
        SCOPED_TRACE(row++);
        // A block of exactly the message's size, so that a read past it shows under ASan.
        const auto exact = std::make_unique<std::uint8_t[]>(message.size());
        std::copy(message.begin(), message.end(), exact.get());
        CDnsQuestion question;
        ASSERT_EQ(question.Decode(exact.get(), message.size()), end != 0);
        if (end != 0) {
            EXPECT_EQ(question.Name(), name);
            EXPECT_EQ(question.Type(), type);
            EXPECT_EQ(question.End(), end);
        }
    }
}

}  // namespace
