#include "dns/UpstreamRelay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <optional>
#include <thread>

#include "FakeUpstream.h"
#include "RecordingActivity.h"
#include "TempProfileFolder.h"
#include "net/Reactor.h"

namespace {

using dnstest::Bytes;
using dnstest::CFakeUpstream;
using dnstest::CFakeUpstreamGroup;

constexpr int kTestReplyTimeoutMs = 150;
constexpr int kAllEntries = 31;

// ---- Masks -------------------------------------------------------------------------------

struct MaskCase {
    int useCode;
    int passMask;
    int notNamedMask;
};

class UseCodeMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(UseCodeMaskTest, DigitsBecomeSelectionBits) {
    EXPECT_EQ(CUpstreamRelay::PassMask(GetParam().useCode), GetParam().passMask);
    EXPECT_EQ(CUpstreamRelay::NotNamedMask(GetParam().useCode), GetParam().notNamedMask);
}

INSTANTIATE_TEST_SUITE_P(
    UseCodes, UseCodeMaskTest,
    ::testing::Values(MaskCase{0, 0, 0}, MaskCase{33333, 31, 31}, MaskCase{20000, 1, 0},
                      MaskCase{10000, 0, 1}, MaskCase{21000, 1, 2}, MaskCase{1, 0, 16},
                      MaskCase{31000, 1, 3}, MaskCase{77777, 31, 31}, MaskCase{88888, 0, 0},
                      MaskCase{45678, 12, 10}, MaskCase{133333, 31, 31}, MaskCase{INT_MAX, 22, 18},
                      MaskCase{-1, 0, 0}, MaskCase{-33333, 0, 0}, MaskCase{INT_MIN, 0, 0}));

// ---- Loading the table ---------------------------------------------------------------------

struct LoadCase {
    const char* what;
    std::vector<std::optional<std::string>> rows;  // IP1.. ; nullopt: key absent
    std::vector<std::string> entries;
};

class LoadProxyServersTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadProxyServersTest, FillsEntriesFromNonEmptyKeysInOrder) {
    dnstest::CTempProfileFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (std::size_t row = 0; row < GetParam().rows.size(); ++row) {
        if (GetParam().rows[row]) {
            folder.Profile().WriteString("Proxy", "IP" + std::to_string(row + 1),
                                         *GetParam().rows[row]);
        }
    }
    CUpstreamRelay relay(folder.Profile(), nullptr);
    const auto& expected = GetParam().entries;
    EXPECT_EQ(relay.LoadProxyServers(), static_cast<int>(expected.size()));
    ASSERT_EQ(relay.ProxyCount(), static_cast<int>(expected.size()));
    for (std::size_t entry = 0; entry < expected.size(); ++entry) {
        EXPECT_EQ(relay.ProxyServer(static_cast<int>(entry)), expected[entry]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, LoadProxyServersTest,
    ::testing::Values(
        LoadCase{"NoKeys", {}, {}},
        LoadCase{"AllFive",
                 {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"},
                 {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}},
        LoadCase{"MissingFirstKeyMovesSecondDown", {std::nullopt, "10.0.0.2"}, {"10.0.0.2"}},
        LoadCase{"EmptyValuesAreSkipped",
                 {"", "10.0.0.2", "", "", "10.0.0.5"},
                 {"10.0.0.2", "10.0.0.5"}},
        LoadCase{"DialogBlankRowsStayInPlace",
                 {"0.0.0.0", "0.0.0.0", "10.0.0.3", "0.0.0.0", "0.0.0.0"},
                 {"0.0.0.0", "0.0.0.0", "10.0.0.3", "0.0.0.0", "0.0.0.0"}},
        LoadCase{"SixteenCharactersFit", {"dns.example.test"}, {"dns.example.test"}},
        LoadCase{"LongerValueIsSkipped", {"dns.example.tests", "10.0.0.2"}, {"10.0.0.2"}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Relaying ------------------------------------------------------------------------------

class UpstreamRelayTest : public ::testing::Test {
protected:
    struct Outcome {
        int result;
        Bytes message;
    };

    void SetUp() override {
        ASSERT_TRUE(m_reactor.IsValid());
        ASSERT_TRUE(m_folder.IsValid());
    }

    // A relay to `servers` on `port`, table loaded.
    CUpstreamRelay& MakeRelay(const std::vector<std::string>& servers, unsigned port) {
        m_folder.SetServers(servers);
        m_relay = std::make_unique<CUpstreamRelay>(m_folder.Profile(), &m_activity, port,
                                                   kTestReplyTimeoutMs);
        m_relay->LoadProxyServers();
        return *m_relay;
    }

    Outcome Relay(const Bytes& query, int mask) {
        dns::MessageBuffer buffer{};
        std::copy(query.begin(), query.end(), buffer.begin());
        int length = static_cast<int>(query.size());
        const int result = m_relay->RelayQuery(buffer, length, mask);
        return {result, Bytes(buffer.begin(), buffer.begin() + length)};
    }

    CReactor m_reactor;
    dnstest::CTempProfileFolder m_folder;
    dnstest::CRecordingActivity m_activity;
    std::unique_ptr<CUpstreamRelay> m_relay;
    const Bytes m_query = dnstest::MakeQuery(0x1234, "www.example.org", 1);
};

TEST_F(UpstreamRelayTest, EmptyMaskOrEmptyTableReturnsAtOnceWithoutActivity) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    EXPECT_EQ(Relay(m_query, 0).result, 0);

    MakeRelay({}, fakes.Port());
    m_folder.Profile().WriteString("Proxy", "IP1", "");
    m_relay->LoadProxyServers();
    EXPECT_EQ(Relay(m_query, kAllEntries).result, 0);

    EXPECT_TRUE(m_activity.shown.empty());
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
}

TEST_F(UpstreamRelayTest, ReplyIsCopiedByteForByte) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(7)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    const Outcome outcome = Relay(m_query, 1);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.message, CFakeUpstream::ReplyTo(m_query, 7));
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5}));
}

TEST_F(UpstreamRelayTest, LastEntryIsAskedFirstAndTheFirstReplyEndsTheRelay) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)},
                              {"127.0.0.3", dnstest::Answering(2)},
                              {"127.0.0.4", dnstest::Answering(3)},
                              {"127.0.0.5", dnstest::Answering(4)},
                              {"127.0.0.6", dnstest::Answering(5)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"}, fakes.Port());
    const Outcome outcome = Relay(m_query, CUpstreamRelay::NotNamedMask(33333));
    EXPECT_EQ(outcome.message, CFakeUpstream::ReplyTo(m_query, 5));
    for (std::size_t entry = 0; entry < 4; ++entry) {
        EXPECT_EQ(fakes[entry].QueriesSeen(), 0) << entry;
    }
    EXPECT_EQ(fakes[4].QueriesSeen(), 1);
}

TEST_F(UpstreamRelayTest, SilentAndSlowServersGiveWayToTheNextSelectedOne) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)},
                              {"127.0.0.3", dnstest::Silent()},
                              {"127.0.0.4", dnstest::Answering(3)},
                              {"127.0.0.5", dnstest::AnsweringAfter(3 * kTestReplyTimeoutMs, 4)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"}, fakes.Port());
    // Entry 2 is not selected; 3 (slow) and 1 (silent) are tried before 0 answers.
    const Outcome outcome = Relay(m_query, 0b1011);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.message, CFakeUpstream::ReplyTo(m_query, 1));
    EXPECT_EQ(fakes[2].QueriesSeen(), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 5}));
}

TEST_F(UpstreamRelayTest, NoReplyFromAnySelectedServerLeavesTheBufferAndShowsIdle) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Silent()}, {"127.0.0.3", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3"}, fakes.Port());
    const Outcome outcome = Relay(m_query, 0b11);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.message, m_query);
    EXPECT_EQ(fakes[0].QueriesSeen(), 1);
    EXPECT_EQ(fakes[1].QueriesSeen(), 1);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 1}));
}

TEST_F(UpstreamRelayTest, MaskSelectingOnlyMissingEntriesTriesNoServer) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    EXPECT_EQ(Relay(m_query, 0b10000).result, 0);
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{1}));
}

TEST_F(UpstreamRelayTest, LateReplyOfAServerAskedEarlierInTheSameRelayCounts) {
    std::atomic<CFakeUpstream*> first{nullptr};
    // Entry 1 is asked first and answers only once entry 0 has been asked too.
    auto answersWhenFirstIsAsked = [&first](CFakeUpstream& server,
                                            const CFakeUpstream::Query& query) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (first.load()->QueriesSeen() == 0 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 2));
    };
    CFakeUpstreamGroup fakes(
        {{"127.0.0.2", dnstest::Silent()}, {"127.0.0.3", answersWhenFirstIsAsked}});
    ASSERT_TRUE(fakes.IsBound());
    first = &fakes[0];
    MakeRelay({"127.0.0.2", "127.0.0.3"}, fakes.Port());
    const Outcome outcome = Relay(m_query, 0b11);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.message, CFakeUpstream::ReplyTo(m_query, 2));
}

TEST_F(UpstreamRelayTest, FullSizeReplyIsAccepted) {
    auto fullSize = [](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        Bytes reply = CFakeUpstream::ReplyTo(query.bytes, 1);
        reply.resize(dns::kDnsBufferSize, 0xAB);
        server.SendTo(query.from, reply);
    };
    CFakeUpstreamGroup fakes({{"127.0.0.2", fullSize}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    const Outcome outcome = Relay(m_query, 1);
    EXPECT_EQ(outcome.result, 1);
    ASSERT_EQ(outcome.message.size(), dns::kDnsBufferSize);
    EXPECT_EQ(outcome.message.back(), 0xAB);
}

TEST_F(UpstreamRelayTest, UnspecifiedAddressIsNeverSentTo) {
    // A datagram to 0.0.0.0 would land on the local host, here on this fake.
    CFakeUpstreamGroup fakes({{"127.0.0.1", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"0.0.0.0"}, fakes.Port());
    EXPECT_EQ(Relay(m_query, 1).result, 0);
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 1}));
}

TEST_F(UpstreamRelayTest, RelaySocketIsClosedWhenTheRelayReturns) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    const auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = openDescriptors();
    EXPECT_EQ(Relay(m_query, 1).result, 1);
    EXPECT_EQ(Relay(m_query, 0b10).result, 0);
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(UpstreamRelayTest, WithoutSocketLayerTheRelayFailsSilently) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    int result = -1;
    // A thread of its own has no reactor, so the relay socket cannot be opened.
    std::thread([&] { result = Relay(m_query, 1).result; }).join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    EXPECT_TRUE(m_activity.shown.empty());
}

// ---- Datagrams that are not the reply --------------------------------------------------------

// The asked server is 127.0.0.2 (entry 1); entry 0 (127.0.0.3) is in the table but not
// selected; 127.0.0.9 shares the port but is not in the table; 127.0.0.2 also has a second
// socket on another port.
struct Bystanders {
    CFakeUpstream* unselectedEntry = nullptr;
    CFakeUpstream* notInTable = nullptr;
    CFakeUpstream* otherPortOfAskedServer = nullptr;
};

struct StrayCase {
    const char* what;
    // Sends the stray datagram for `query` to `to`, from the asked server or a bystander.
    void (*send)(CFakeUpstream& asked, const Bystanders& others, const CFakeUpstream::Query& query);
};

void PrintTo(const StrayCase& stray, std::ostream* out) {
    *out << stray.what;
}

Bytes WithId(Bytes message, std::uint16_t id) {
    message[0] = static_cast<std::uint8_t>(id >> 8);
    message[1] = static_cast<std::uint8_t>(id);
    return message;
}

const StrayCase kStrayCases[] = {
    {"WrongId",
     [](CFakeUpstream& asked, const Bystanders&, const CFakeUpstream::Query& query) {
         asked.SendTo(query.from, WithId(CFakeUpstream::ReplyTo(query.bytes, 9),
                                         dnstest::IdOf(query.bytes) ^ 1));
     }},
    {"LongerThan512Bytes",
     [](CFakeUpstream& asked, const Bystanders&, const CFakeUpstream::Query& query) {
         Bytes reply = CFakeUpstream::ReplyTo(query.bytes, 9);
         reply.resize(dns::kDnsBufferSize + 1);
         asked.SendTo(query.from, reply);
     }},
    {"OneByte",
     [](CFakeUpstream& asked, const Bystanders&, const CFakeUpstream::Query& query) {
         asked.SendTo(query.from, Bytes{query.bytes[0]});
     }},
    {"Empty", [](CFakeUpstream& asked, const Bystanders&,
                 const CFakeUpstream::Query& query) { asked.SendTo(query.from, Bytes{}); }},
    {"FromAnAddressNotInTheTable",
     [](CFakeUpstream&, const Bystanders& others, const CFakeUpstream::Query& query) {
         others.notInTable->SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 9));
     }},
    {"FromAnEntryThatWasNotAsked",
     [](CFakeUpstream&, const Bystanders& others, const CFakeUpstream::Query& query) {
         others.unselectedEntry->SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 9));
     }},
    {"FromAnotherPortOfTheAskedServer",
     [](CFakeUpstream&, const Bystanders& others, const CFakeUpstream::Query& query) {
         others.otherPortOfAskedServer->SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 9));
     }},
};

class StrayDatagramTest : public UpstreamRelayTest,
                          public ::testing::WithParamInterface<std::tuple<StrayCase, bool>> {
protected:
    // The asked server sends the stray datagram and then, if `thenAnswers`, its reply.
    Outcome RelayPastStray() {
        const auto [stray, thenAnswers] = GetParam();
        CFakeUpstream otherPort("127.0.0.2", 0, dnstest::Silent());
        EXPECT_TRUE(otherPort.IsBound());
        Bystanders others;
        others.otherPortOfAskedServer = &otherPort;
        auto asked = [&others, stray = stray, thenAnswers = thenAnswers](
                         CFakeUpstream& server, const CFakeUpstream::Query& query) {
            stray.send(server, others, query);
            if (thenAnswers) {
                server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 1));
            }
        };
        CFakeUpstreamGroup fakes({{"127.0.0.3", dnstest::Silent()},
                                  {"127.0.0.2", asked},
                                  {"127.0.0.9", dnstest::Silent()}});
        EXPECT_TRUE(fakes.IsBound());
        if (!fakes.IsBound()) {
            return {-1, {}};
        }
        others.unselectedEntry = &fakes[0];
        others.notInTable = &fakes[2];
        MakeRelay({"127.0.0.3", "127.0.0.2"}, fakes.Port());
        return Relay(m_query, 0b10);
    }
};

TEST_P(StrayDatagramTest, IsThrownAwayAndTheWaitGoesOn) {
    const bool thenAnswers = std::get<1>(GetParam());
    const Outcome outcome = RelayPastStray();
    if (thenAnswers) {
        EXPECT_EQ(outcome.result, 1);
        EXPECT_EQ(outcome.message, CFakeUpstream::ReplyTo(m_query, 1));
    } else {
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(outcome.message, m_query);
    }
}

INSTANTIATE_TEST_SUITE_P(Strays, StrayDatagramTest,
                         ::testing::Combine(::testing::ValuesIn(kStrayCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).what) +
                                    (std::get<1>(info.param) ? "ThenReply" : "Only");
                         });

}  // namespace
