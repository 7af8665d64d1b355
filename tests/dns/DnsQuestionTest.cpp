#include "dns/DnsQuestion.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "DnsQueryBuilder.h"

namespace {

using dnstest::Bytes;

struct Decoded {
    std::string name;
    std::uint16_t type = 0;
    std::size_t end = 0;
    bool operator==(const Decoded&) const = default;
};

// The decoding rule written plainly: labels from offset 12 until a zero length byte,
// then QTYPE and QCLASS, all inside the message, which is at most 512 bytes.
std::optional<Decoded> ReferenceDecode(const Bytes& message) {
    if (message.size() > 512) {
        return std::nullopt;
    }
    Decoded decoded;
    std::size_t at = 12;
    while (true) {
        if (at >= message.size()) {
            return std::nullopt;
        }
        const std::size_t length = message[at++];
        if (length == 0) {
            break;
        }
        if (at + length > message.size()) {
            return std::nullopt;
        }
        if (at > 13) {
            decoded.name += '.';
        }
        decoded.name.append(message.begin() + static_cast<std::ptrdiff_t>(at),
                            message.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    if (at + 4 > message.size()) {
        return std::nullopt;
    }
    decoded.type = static_cast<std::uint16_t>((message[at] << 8) | message[at + 1]);
    decoded.end = at + 4;
    return decoded;
}

std::optional<Decoded> Decode(const Bytes& message) {
    // A block of exactly the message's size, so that any read past it is caught.
    const auto exact = std::make_unique<std::uint8_t[]>(message.size());
    std::copy(message.begin(), message.end(), exact.get());
    CDnsQuestion question;
    if (!question.Decode(exact.get(), message.size())) {
        return std::nullopt;
    }
    return Decoded{std::string(question.Name()), question.Type(), question.End()};
}

TEST(DnsQuestionTest, DecodesLabelsAsTheyArrive) {
    Bytes query = dnstest::MakeQueryWithOpt(1, "Img.Ads.Example", 12);
    const auto decoded = Decode(query);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, "Img.Ads.Example");
    EXPECT_EQ(decoded->type, 12);
    EXPECT_EQ(decoded->end, dnstest::MakeQuery(1, "Img.Ads.Example", 12).size());
}

TEST(DnsQuestionTest, TakesEveryLengthByteAsAPlainLabelLength) {
    // 0xC0 would be a compression pointer; here it is a label of 192 bytes.
    Bytes query = dnstest::MakeQuery(1, "", 1);
    query.resize(12);
    query.push_back(0xC0);
    query.insert(query.end(), 192, 'z');
    query.insert(query.end(), {0, 0, 1, 0, 1});
    const auto decoded = Decode(query);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, std::string(192, 'z'));
    EXPECT_EQ(decoded->type, 1);
}

TEST(DnsQuestionTest, KeepsBytesThatAreNotLetters) {
    const Bytes query = dnstest::MakeQuery(1, std::string("a\0b.c d", 7), 1);
    const auto decoded = Decode(query);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, std::string("a\0b.c d", 7));
}

// Random messages, most of them close to a real query, decode exactly as the plain rule
// says; the decoder never reads outside the message (checked under AddressSanitizer, with
// every message in a heap block of its own size).
TEST(DnsQuestionTest, AgreesWithThePlainRuleOnRandomMessages) {
    constexpr int kMessages = 20000;
    std::mt19937 random(7);
    const Bytes seed = dnstest::MakeQueryWithOpt(0x1111, "a.bb.ccc.example", 1);
    int decodedCount = 0;
    for (int i = 0; i < kMessages; ++i) {
        Bytes message;
        switch (random() % 3) {
            case 0:
                message.resize(random() % 530);
                for (auto& byte : message) {
                    byte = static_cast<std::uint8_t>(random() % 8 == 0 ? 0 : random() % 24);
                }
                break;
            case 1:
                message = seed;
                message.resize(random() % (seed.size() + 4));
                break;
            default:
                message = seed;
                message[12 + random() % (seed.size() - 12)] = static_cast<std::uint8_t>(random());
                break;
        }
        const auto expected = ReferenceDecode(message);
        ASSERT_EQ(Decode(message), expected) << "message " << i;
        decodedCount += expected ? 1 : 0;
    }
    // The inputs must exercise both outcomes.
    EXPECT_GT(decodedCount, kMessages / 10);
    EXPECT_LT(decodedCount, kMessages - kMessages / 10);
}

}  // namespace
