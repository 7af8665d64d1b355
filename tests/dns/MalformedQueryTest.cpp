#include <gtest/gtest.h>

#include <random>

#include "DnsServerHarness.h"
#include "dns/DnsMessage.h"

namespace {

using dnstest::Bytes;
using dnstest::CDnsServerHarness;

constexpr std::uint16_t kTypeA = 1;

Bytes Header() {
    Bytes header = dnstest::MakeQuery(0x0102, "", kTypeA);
    header.resize(dns::kHeaderSize);
    return header;
}

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A query for a name under ads.example whose question ends at `questionEnd`.
Bytes ListedQueryEndingAt(std::size_t questionEnd) {
    const std::size_t suffixWire = dnstest::EncodeName("ads.example").size();
    constexpr std::size_t kTypeAndClassSize = 4;
    std::size_t fill = questionEnd - dns::kHeaderSize - kTypeAndClassSize - suffixWire;
    std::string name;
    while (fill > 0) {
        // Labels of up to 63 bytes, never leaving a single byte (an empty label) over.
        const std::size_t label = fill <= 64 ? fill - 1 : (fill == 65 ? 62 : 63);
        name += std::string(label, 'x') + ".";
        fill -= label + 1;
    }
    return dnstest::MakeQuery(0x0103, name + "ads.example", kTypeA);
}

struct MalformedCase {
    std::string what;
    Bytes datagram;
};

void PrintTo(const MalformedCase& malformed, std::ostream* out) {
    *out << malformed.what;
}

std::vector<MalformedCase> MalformedCorpus() {
    const Bytes good = dnstest::MakeQuery(0x0102, "ads.example", kTypeA);
    std::vector<MalformedCase> corpus = {{"Empty", {}}};
    for (std::size_t length = 1; length < dns::kHeaderSize; ++length) {
        corpus.push_back({"HeaderCutAt" + std::to_string(length),
                          Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length))});
    }
    const Bytes name = dnstest::EncodeName("ads.example");
    corpus.push_back({"HeaderOnly", Header()});
    corpus.push_back({"LabelLengthPastTheEnd", Concat(Header(), {5, 'a', 'd'})});
    corpus.push_back({"LongLabelPastTheEnd", Concat(Header(), {255, 'a', 'd', 's', 0, 0, 1})});
    corpus.push_back({"LaterLabelPastTheEnd", Concat(Header(), {3, 'a', 'd', 's', 9, 'e', 'x'})});
    corpus.push_back({"NameWithoutTerminator", Concat(Header(), {3, 'a', 'd', 's'})});
    corpus.push_back({"NoTypeAfterName", Concat(Header(), name)});
    corpus.push_back({"TypeCutInHalf", Concat(Concat(Header(), name), {0})});
    corpus.push_back({"ClassMissing", Concat(Concat(Header(), name), {0, 1})});
    corpus.push_back({"ClassCutInHalf", Concat(Concat(Header(), name), {0, 1, 0})});
    Bytes tooLong = good;
    tooLong.resize(dns::kDnsBufferSize + 1);
    corpus.push_back({"OneByteOverTheBuffer", tooLong});
    tooLong.resize(1500);
    corpus.push_back({"FarOverTheBuffer", tooLong});
    Bytes nameFillsBuffer = Header();
    while (nameFillsBuffer.size() + 64 <= dns::kDnsBufferSize) {
        nameFillsBuffer.push_back(63);
        nameFillsBuffer.insert(nameFillsBuffer.end(), 63, 'a');
    }
    nameFillsBuffer.resize(dns::kDnsBufferSize, 'a');
    corpus.push_back({"NameRunsToTheBuffersEnd", nameFillsBuffer});
    // Would need 513 bytes with its answer.
    corpus.push_back({"AnswerWouldNotFit", ListedQueryEndingAt(dns::kDnsBufferSize - 15)});
    return corpus;
}

class MalformedQueryTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedQueryTest, IsDroppedAndTheNextQueryIsAnswered) {
    CDnsServerHarness harness;
    ASSERT_TRUE(harness.Start());
    EXPECT_TRUE(harness.DroppedAndServerStillAnswers(GetParam().datagram));
    const std::vector<int>& shown = harness.Activity().shown;
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], 2);
    EXPECT_EQ(shown.back(), 1);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedQueryTest, ::testing::ValuesIn(MalformedCorpus()),
                         [](const auto& info) { return info.param.what; });

TEST(FullBufferQueryTest, AnswerThatFillsTheBufferExactlyIsSent) {
    CDnsServerHarness harness;
    ASSERT_TRUE(harness.Start());
    const Bytes query = ListedQueryEndingAt(dns::kDnsBufferSize - 16);
    const auto reply = harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), dns::kDnsBufferSize);
    EXPECT_TRUE(std::equal(query.begin() + 12, query.end(), reply->begin() + 12));
}

TEST(FullBufferQueryTest, FullDatagramWithRecordsAfterTheQuestionIsAnswered) {
    CDnsServerHarness harness;
    ASSERT_TRUE(harness.Start());
    const Bytes plain = dnstest::MakeQuery(0x0104, "ads.example", kTypeA);
    Bytes query = dnstest::MakeQueryWithOpt(0x0104, "ads.example", kTypeA);
    query.resize(dns::kDnsBufferSize, 0);
    const auto reply = harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), plain.size() + 16);
}

// Random datagrams, many of them near-valid, are sent in batches, each followed by the
// sentinel query: whatever they hold, replies stay within the buffer and the sentinel is
// always answered.
TEST(RandomDatagramTest, NeverStopTheServer) {
    constexpr int kBatches = 30;
    constexpr int kDatagramsPerBatch = 40;
    CDnsServerHarness harness;
    ASSERT_TRUE(harness.Start());
    std::mt19937 random(20240611);
    const Bytes seed = dnstest::MakeQueryWithOpt(0x0105, "img.ads.example", kTypeA);
    for (int batch = 0; batch < kBatches; ++batch) {
        for (int i = 0; i < kDatagramsPerBatch; ++i) {
            Bytes datagram;
            if (random() % 2 == 0) {
                datagram.resize(random() % 600);
                for (auto& byte : datagram) {
                    byte = static_cast<std::uint8_t>(random());
                }
            } else {
                datagram = seed;
                datagram.resize(random() % (seed.size() + 8));
                for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                    if (!datagram.empty()) {
                        datagram[random() % datagram.size()] = static_cast<std::uint8_t>(random());
                    }
                }
            }
            if (datagram.size() >= 2 && dnstest::IdOf(datagram) == CDnsServerHarness::kSentinelId) {
                datagram[0] ^= 0xFF;
            }
            harness.Send(datagram);
        }
        harness.Send(CDnsServerHarness::SentinelQuery());
        for (;;) {
            const auto reply = harness.NextReply();
            ASSERT_TRUE(reply) << "batch " << batch;
            ASSERT_LE(reply->size(), dns::kDnsBufferSize);
            if (dnstest::IdOf(*reply) == CDnsServerHarness::kSentinelId) {
                break;
            }
        }
    }
}

}  // namespace
