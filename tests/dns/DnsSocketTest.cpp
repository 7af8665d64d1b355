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

class UnservedTypeTest : public DnsSocketTest,
                         public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(UnservedTypeTest, ForAListedNameGetsNoReply) {
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(33333);
    ASSERT_TRUE(m_harness.Start());
    EXPECT_TRUE(m_harness.DroppedAndServerStillAnswers(
        dnstest::MakeQuery(0x0101, "ads.example", GetParam())));
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 1, 2, 1, 3, 1}));
}

INSTANTIATE_TEST_SUITE_P(Types, UnservedTypeTest,
                         ::testing::Values(dnstest::kTypeAaaa, dnstest::kTypeMx, 0, 255, 0x0100));

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
    EXPECT_TRUE(
        m_harness.DroppedAndServerStillAnswers(dnstest::MakeQuery(1, "", dnstest::kTypeMx)));
}

// ---- Relaying ----------------------------------------------------------------------------

constexpr std::uint8_t kUpstreamTag = 0x5A;

struct RouteCase {
    const char* what;
    const char* name;
    std::uint16_t type;
    int useCode;
    bool relayed;
};

class RelayRouteTest : public DnsSocketTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(RelayRouteTest, GoesUpstreamOnlyWithTheMaskOfItsList) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(kUpstreamTag)}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(GetParam().useCode);
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    const Bytes query = dnstest::MakeQueryWithOpt(0x2468, GetParam().name, GetParam().type);
    if (GetParam().relayed) {
        const auto reply = m_harness.Exchange(query);
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, CFakeUpstream::ReplyTo(query, kUpstreamTag));
        EXPECT_EQ(fakes[0].QueriesSeen(), 1);
        EXPECT_EQ(m_harness.Activity().Activity(), 5);
    } else {
        EXPECT_TRUE(m_harness.DroppedAndServerStillAnswers(query));
        EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Routes, RelayRouteTest,
    ::testing::Values(
        RouteCase{"UnlistedWithNotNamedBox", "www.example.org", kTypeA, 10000, true},
        RouteCase{"UnlistedWithPassedBoxOnly", "www.example.org", kTypeA, 20000, false},
        RouteCase{"UnlistedWithNoBox", "www.example.org", kTypeA, 0, false},
        RouteCase{"PassedWithPassedBox", "www.passed.example", kTypeA, 20000, true},
        RouteCase{"PassedWithNotNamedBoxOnly", "www.passed.example", kTypeA, 10000, false},
        RouteCase{"InBothListsIsRelayed", "both.example", kTypeA, 20000, true},
        RouteCase{"InBothListsWithoutServerIsNotAnswered", "both.example", kTypeA, 10000, false},
        RouteCase{"OtherReverseName", "4.3.2.10.in-addr.arpa", kTypePtr, 10000, true},
        RouteCase{"ReverseNameInPassListUsesNotNamedMask", "7.7.7.7.in-addr.arpa", kTypePtr, 20000,
                  false},
        RouteCase{"ReverseNameInPassListRelayedWithNotNamedBox", "7.7.7.7.in-addr.arpa", kTypePtr,
                  10000, true}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(DnsSocketTest, RelayedReplyShowsRelayingAndStaysThere) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(kUpstreamTag)}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(10000);
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    ASSERT_TRUE(m_harness.Exchange(dnstest::MakeQuery(1, "www.example.org", kTypeA)));
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 5, 5}));
}

TEST_F(DnsSocketTest, PassedNameWithoutUpstreamReplyGetsNothing) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    m_harness.Folder().SetUseCode(20000);
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    EXPECT_TRUE(
        m_harness.DroppedAndServerStillAnswers(dnstest::MakeQuery(1, "passed.example", kTypeA)));
    EXPECT_EQ(fakes[0].QueriesSeen(), 1);
    EXPECT_EQ(m_harness.Activity().shown, (std::vector<int>{2, 1, 5, 1, 1, 2, 1, 3, 1}));
}

TEST_F(DnsSocketTest, UseCodeIsReadAgainForEveryRelayedQuery) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(kUpstreamTag)}});
    ASSERT_TRUE(fakes.IsBound());
    m_harness.Folder().SetServers({"127.0.0.2"});
    ASSERT_TRUE(m_harness.Start(fakes.Port()));
    const Bytes query = dnstest::MakeQuery(0x3131, "www.example.org", kTypeA);
    EXPECT_TRUE(m_harness.DroppedAndServerStillAnswers(query));
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

}  // namespace
