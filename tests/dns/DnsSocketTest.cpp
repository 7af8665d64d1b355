#include "dns/DnsSocket.h"

#include <gtest/gtest.h>

#include "DnsServerHarness.h"
#include "FakeUpstream.h"

namespace {

using dnstest::Bytes;
using dnstest::CDnsServerHarness;
using dnstest::CFakeUpstream;
using dnstest::CFakeUpstreamGroup;

constexpr std::uint16_t kTypeA = 1;
constexpr std::uint16_t kTypePtr = 12;

// The answer record of a local A answer for 127.0.0.1.
const Bytes kAddressRecord = {0xC0, 0x0C, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                              0x1C, 0x20, 0x00, 0x04, 0x7F, 0x00, 0x00, 0x01};
// The answer record of the local PTR answer, "localhost".
const Bytes kLocalhostRecord = {0xC0, 0x0C, 0x00, 0x0C, 0x00, 0x01, 0x00, 0x01,
                                0x33, 0x50, 0x00, 0x0B, 0x09, 'l',  'o',  'c',
                                'a',  'l',  'h',  'o',  's',  't',  0x00};

// The local answer to `query` (header and one question, nothing after it): flags 85 00,
// one answer, no other records, then `record`.
Bytes LocalAnswerTo(const Bytes& query, std::size_t questionEnd, const Bytes& record) {
    Bytes reply(query.begin(), query.begin() + static_cast<std::ptrdiff_t>(questionEnd));
    reply[2] = 0x85;
    reply[3] = 0x00;
    reply[6] = 0x00;
    reply[7] = 0x01;
    std::fill(reply.begin() + 8, reply.begin() + 12, 0);
    reply.insert(reply.end(), record.begin(), record.end());
    return reply;
}

class DnsSocketTest : public ::testing::Test {
protected:
    CDnsServerHarness m_harness;
};

TEST_F(DnsSocketTest, ListedNameGetsLocalAnswerByteForByte) {
    ASSERT_TRUE(m_harness.Start());
    const Bytes query = dnstest::MakeQuery(0xBEEF, "img.ads.example", kTypeA);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    Bytes expected = {0xBE, 0xEF, 0x85, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
    const Bytes question(query.begin() + 12, query.end());
    expected.insert(expected.end(), question.begin(), question.end());
    expected.insert(expected.end(), kAddressRecord.begin(), kAddressRecord.end());
    EXPECT_EQ(*reply, expected);
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 3, 1}));
}

class LocalAnswerHeaderTest
    : public DnsSocketTest,
      public ::testing::WithParamInterface<std::tuple<std::uint16_t, std::uint16_t>> {};

TEST_P(LocalAnswerHeaderTest, KeepsTheClientsIdAndQuestionCount) {
    ASSERT_TRUE(m_harness.Start());
    const auto [id, questionCount] = GetParam();
    const Bytes query = dnstest::MakeQuery(id, "ads.example", kTypeA, questionCount);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, LocalAnswerTo(query, query.size(), kAddressRecord));
}

INSTANTIATE_TEST_SUITE_P(IdsAndCounts, LocalAnswerHeaderTest,
                         ::testing::Combine(::testing::Values(0x0000, 0x0102, 0xFFFF),
                                            ::testing::Values(0, 1, 3)));

TEST_F(DnsSocketTest, RecordsAfterTheQuestionAreLeftOutOfTheLocalAnswer) {
    ASSERT_TRUE(m_harness.Start());
    const Bytes plain = dnstest::MakeQuery(0x4242, "ads.example", kTypeA);
    const Bytes withOpt = dnstest::MakeQueryWithOpt(0x4242, "ads.example", kTypeA);
    const auto reply = m_harness.Exchange(withOpt);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, LocalAnswerTo(plain, plain.size(), kAddressRecord));
}

class ReverseLoopbackTest : public DnsSocketTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(ReverseLoopbackTest, IsAnsweredWithLocalhostInAnyLetterCase) {
    ASSERT_TRUE(m_harness.Start());
    const Bytes query = dnstest::MakeQueryWithOpt(0x0707, GetParam(), kTypePtr);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    const std::size_t questionEnd = dnstest::MakeQuery(0, GetParam(), kTypePtr).size();
    EXPECT_EQ(*reply, LocalAnswerTo(query, questionEnd, kLocalhostRecord));
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 3, 1}));
}

INSTANTIATE_TEST_SUITE_P(Spellings, ReverseLoopbackTest,
                         ::testing::Values("1.0.0.127.in-addr.arpa", "1.0.0.127.IN-ADDR.ARPA",
                                           "1.0.0.127.In-Addr.aRPA"));

TEST_F(DnsSocketTest, RootNameTakesItsTypeFromOffset13) {
    // An empty line is an entry that matches the root name only.
    m_harness.Folder().WriteFilterFile("named.txt", "ads.example\n\n");
    ASSERT_TRUE(m_harness.Start());
    const Bytes query = dnstest::MakeQuery(0x0909, "", kTypeA);
    ASSERT_EQ(query[12], 0);
    ASSERT_EQ(query[14], kTypeA);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, LocalAnswerTo(query, query.size(), kAddressRecord));
}

// ---- Relaying ----------------------------------------------------------------------------

constexpr std::uint8_t kUpstreamTag = 0x5A;

TEST_F(DnsSocketTest, RelayedReplyShowsRelayingAndStaysThere) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(kUpstreamTag)}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(10000);
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    ASSERT_TRUE(m_harness.Exchange(dnstest::MakeQuery(1, "www.example.org", kTypeA)));
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 5, 5}));
}

TEST_F(DnsSocketTest, UseCodeIsReadAgainForEveryRelayedQuery) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(kUpstreamTag)}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    const Bytes query = dnstest::MakeQuery(0x3131, "www.example.org", kTypeA);
    const auto refused = m_harness.Exchange(query);
    ASSERT_TRUE(refused);
    EXPECT_EQ((*refused)[3], dns::kRcodeRefused);
    m_harness.Folder().SetUseCode(10000);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, CFakeUpstream::ReplyTo(query, kUpstreamTag));
}

TEST_F(DnsSocketTest, FullSizeQueryIsRelayedUnchanged) {
    auto echo = [](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        server.SendTo(query.from, query.bytes);
    };
    CFakeUpstreamGroup fakes({{"127.0.0.2", echo}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(10000);
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    Bytes query = dnstest::MakeQueryWithOpt(0x5151, "www.example.org", kTypeA);
    query.resize(dns::kDnsBufferSize, 0xEE);
    const auto reply = m_harness.Exchange(query);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, query);
}

// ---- Replies to queries no server answers ------------------------------------------------

enum class Expected { kNothing, kEmptyAnswer, kRefused, kServFail };

struct ReplyRuleCase {
    const char* what;
    const char* alwaysReply;  // the profile's text; null: key absent
    bool silentServer;        // otherwise no server at all
    int useCode;
    const char* name;
    std::uint16_t type;
    Expected expected;
    std::vector<int> activity;
};

// The reply `expected` gives `query` (header and question only, counts as the kind says).
Bytes ExpectedReply(const Bytes& query, std::size_t questionEnd, Expected expected) {
    Bytes reply(query.begin(), query.begin() + static_cast<std::ptrdiff_t>(questionEnd));
    std::fill(reply.begin() + 6, reply.begin() + 12, 0);
    if (expected == Expected::kEmptyAnswer) {
        reply[2] = 0x85;
        reply[3] = 0x00;
        return reply;
    }
    reply[2] = 0x81;
    reply[3] = expected == Expected::kRefused ? dns::kRcodeRefused : dns::kRcodeServFail;
    reply[4] = 0;
    reply[5] = 1;
    return reply;
}

class ReplyRuleTest : public DnsSocketTest, public ::testing::WithParamInterface<ReplyRuleCase> {};

TEST_P(ReplyRuleTest, RepliesAsTheProfileSays) {
    const ReplyRuleCase& rule = GetParam();
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    if (rule.silentServer) {
        m_harness.Folder().SetServers({"127.0.0.2"});
    }
    m_harness.Folder().SetUseCode(rule.useCode);
    if (rule.alwaysReply != nullptr) {
        m_harness.Folder().Profile().WriteString("Proxy", "AlwaysReply", rule.alwaysReply);
    }
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    // QDCOUNT 2 shows which header fields the reply keeps.
    Bytes query = dnstest::MakeQueryWithOpt(0x6161, rule.name, rule.type);
    query[5] = 2;
    const std::size_t questionEnd = dnstest::MakeQuery(0, rule.name, rule.type).size();
    m_harness.Send(query);
    const auto reply = m_harness.NextReply(3 * CDnsServerHarness::kReplyTimeoutMs);
    if (rule.expected == Expected::kNothing) {
        EXPECT_FALSE(reply);
    } else {
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, ExpectedReply(query, questionEnd, rule.expected));
    }
    EXPECT_EQ(m_harness.Activity().shown, rule.activity);
}

constexpr std::uint16_t kTypeAaaa = dnstest::kTypeAaaa;

INSTANTIATE_TEST_SUITE_P(Rules, ReplyRuleTest,
                         ::testing::Values(ReplyRuleCase{"OtherTypeForListedName",
                                                         nullptr,
                                                         false,
                                                         0,
                                                         "ads.example",
                                                         kTypeAaaa,
                                                         Expected::kEmptyAnswer,
                                                         {2, 1, 3, 1}},
                                           ReplyRuleCase{"OtherTypeForListedNameSilently",
                                                         "0",
                                                         false,
                                                         0,
                                                         "ads.example",
                                                         kTypeAaaa,
                                                         Expected::kNothing,
                                                         {2, 1, 1}},
                                           ReplyRuleCase{"UnlistedWithoutServer",
                                                         nullptr,
                                                         false,
                                                         10000,
                                                         "www.example",
                                                         kTypeA,
                                                         Expected::kRefused,
                                                         {2, 1}},
                                           ReplyRuleCase{"UnlistedWithoutServerSilently",
                                                         "0",
                                                         false,
                                                         10000,
                                                         "www.example",
                                                         kTypeA,
                                                         Expected::kNothing,
                                                         {2, 1}},
                                           ReplyRuleCase{"PassedWithoutServer",
                                                         "1",
                                                         false,
                                                         20000,
                                                         "passed.example",
                                                         kTypeAaaa,
                                                         Expected::kRefused,
                                                         {2, 1, 1}},
                                           ReplyRuleCase{"OtherReverseNameWithoutServer",
                                                         " 7 ",
                                                         false,
                                                         10000,
                                                         "4.3.2.1.in-addr.arpa",
                                                         kTypePtr,
                                                         Expected::kRefused,
                                                         {2, 1, 3}},
                                           ReplyRuleCase{"EveryServerSilent",
                                                         nullptr,
                                                         true,
                                                         10000,
                                                         "www.example",
                                                         kTypeA,
                                                         Expected::kServFail,
                                                         {2, 1, 5, 1}},
                                           ReplyRuleCase{"EveryServerSilentSilently",
                                                         "0",
                                                         true,
                                                         10000,
                                                         "www.example",
                                                         kTypeA,
                                                         Expected::kNothing,
                                                         {2, 1, 5, 1}}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
