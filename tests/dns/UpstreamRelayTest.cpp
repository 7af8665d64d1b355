#include "dns/UpstreamRelay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "FakeUpstream.h"
#include "RecordingActivity.h"
#include "TempProfileFolder.h"
#include "dns/DnsQuestion.h"
#include "net/Reactor.h"

namespace {

using dnstest::Bytes;
using dnstest::CFakeUpstream;
using dnstest::CFakeUpstreamGroup;

constexpr int kTestReplyTimeoutMs = 150;
constexpr int kDispatchSliceMs = 10;
constexpr int kMaxDispatchSlices = 1000;

// ---- Loading the table ---------------------------------------------------------------------

struct LoadCase {
    const char* what;
    std::vector<std::optional<std::string>> rows;  // IP1.. ; nullopt: key absent
    std::vector<std::string> entries;
    int askable;
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
    for (std::size_t entry = 0; entry < expected.size(); ++entry) {
        EXPECT_EQ(relay.ProxyServer(static_cast<int>(entry)), expected[entry]);
    }
    EXPECT_EQ(relay.AskableServers(), GetParam().askable);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, LoadProxyServersTest,
    ::testing::Values(
        LoadCase{"NoKeys", {}, {}, 0},
        LoadCase{"AllFive",
                 {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"},
                 {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"},
                 0b11111},
        LoadCase{"MissingFirstKeyMovesSecondDown", {std::nullopt, "10.0.0.2"}, {"10.0.0.2"}, 1},
        LoadCase{"EmptyValuesAreSkipped",
                 {"", "10.0.0.2", "", "", "10.0.0.5"},
                 {"10.0.0.2", "10.0.0.5"},
                 0b11},
        LoadCase{"LongerValueIsSkipped", {"dns.example.tests", "10.0.0.2"}, {"10.0.0.2"}, 1},
        // Entries that are not dotted addresses, or that lead back to this server, keep
        // their place so that each digit of "UseCode" names the same row.
        LoadCase{"BlankRowsStayInPlace",
                 {"0.0.0.0", "0.0.0.0", "10.0.0.3", "0.0.0.0", "0.0.0.0"},
                 {"0.0.0.0", "0.0.0.0", "10.0.0.3", "0.0.0.0", "0.0.0.0"},
                 0b00100},
        LoadCase{"EntriesLeadingBackAreNeverAsked",
                 {"127.0.0.1", "0", "127.1", "0.0.0.00", "localhost"},
                 {"127.0.0.1", "0", "127.1", "0.0.0.00", "localhost"},
                 0},
        LoadCase{"HostNamesAreNeverAsked",
                 {"dns.example", "10.0.0.2"},
                 {"dns.example", "10.0.0.2"},
                 0b10}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Relaying ------------------------------------------------------------------------------

class UpstreamRelayTest : public ::testing::Test, public IRelayClient {
protected:
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

    static RelayRequest RequestFor(const Bytes& query, int mask, std::size_t replyLimit = 512) {
        RelayRequest request;
        std::copy(query.begin(), query.end(), request.query.begin());
        request.length = query.size();
        CDnsQuestion question;
        EXPECT_TRUE(question.Decode(query.data(), query.size()));
        request.questionEnd = question.End();
        request.mask = mask;
        request.replyLimit = replyLimit;
        return request;
    }

    bool Relay(const Bytes& query, int mask, std::size_t replyLimit = 512) {
        return m_relay->RelayQuery(RequestFor(query, mask, replyLimit), *this);
    }

    // Dispatches until every relay in flight has ended.
    void DispatchUntilAllEnded() {
        for (int slice = 0; slice < kMaxDispatchSlices && m_relay->PendingCount() != 0; ++slice) {
            m_reactor.DispatchReady(kDispatchSliceMs);
        }
        ASSERT_EQ(m_relay->PendingCount(), 0u);
    }

    // How the relay of the query with this ID ended: its reply, or nullopt for none.
    std::map<std::uint16_t, std::optional<Bytes>> m_ended;

    CReactor m_reactor;
    dnstest::CTempProfileFolder m_folder;
    dnstest::CRecordingActivity m_activity;
    std::unique_ptr<CUpstreamRelay> m_relay;
    const Bytes m_query = dnstest::MakeQuery(0x1234, "www.example.org", 1);

private:
    void OnRelayReply(const RelayRequest& request, const std::uint8_t* reply,
                      std::size_t length) override {
        m_ended[dnstest::IdOf(Bytes(request.query.begin(), request.query.begin() + 2))] =
            Bytes(reply, reply + length);
    }
    void OnRelayUnanswered(const RelayRequest& request) override {
        m_ended[dnstest::IdOf(Bytes(request.query.begin(), request.query.begin() + 2))] =
            std::nullopt;
    }
};

TEST_F(UpstreamRelayTest, LastEntryIsAskedFirstAndItsReplyGoesBackByteForByte) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)},
                              {"127.0.0.3", dnstest::Answering(2)},
                              {"127.0.0.4", dnstest::Answering(3)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3", "127.0.0.4"}, fakes.Port());
    ASSERT_TRUE(Relay(m_query, 0b111));
    DispatchUntilAllEnded();
    EXPECT_EQ(m_ended[0x1234], CFakeUpstream::ReplyTo(m_query, 3));
    EXPECT_EQ(fakes[0].QueriesSeen() + fakes[1].QueriesSeen(), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5}));
}

TEST_F(UpstreamRelayTest, SilentAndSlowServersGiveWayToTheNextSelectedOne) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)},
                              {"127.0.0.3", dnstest::Silent()},
                              {"127.0.0.4", dnstest::Answering(3)},
                              {"127.0.0.5", dnstest::AnsweringAfter(3 * kTestReplyTimeoutMs, 4)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"}, fakes.Port());
    // Entry 2 is not selected; 3 (slow) and 1 (silent) are tried before 0 answers.
    ASSERT_TRUE(Relay(m_query, 0b1011));
    DispatchUntilAllEnded();
    EXPECT_EQ(m_ended[0x1234], CFakeUpstream::ReplyTo(m_query, 1));
    EXPECT_EQ(fakes[2].QueriesSeen(), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 5}));
}

TEST_F(UpstreamRelayTest, SilenceFromEveryServerEndsWithoutReplyAndIdle) {
    // A datagram to 0.0.0.0 or 127.0.0.1 would come back to this host: such entries are
    // skipped without a wait, whatever listens there.
    CFakeUpstreamGroup fakes({{"127.0.0.1", dnstest::Answering(9)},
                              {"127.0.0.2", dnstest::Silent()},
                              {"127.0.0.3", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"0.0.0.0", "127.0.0.2", "127.0.0.1", "127.0.0.3"}, fakes.Port());
    ASSERT_TRUE(Relay(m_query, 0b1111));
    DispatchUntilAllEnded();
    EXPECT_EQ(m_ended.at(0x1234), std::nullopt);
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    EXPECT_EQ(fakes[1].QueriesSeen() + fakes[2].QueriesSeen(), 2);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 1}));
}

TEST_F(UpstreamRelayTest, NothingStartsWithoutAServerToAskOrASocketLayer) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.1", "127.0.0.2"}, fakes.Port());
    EXPECT_FALSE(Relay(m_query, 0));
    EXPECT_FALSE(Relay(m_query, 0b01));
    EXPECT_FALSE(Relay(m_query, 0b100));
    bool started = true;
    // A thread of its own has no reactor, so no relay socket can be opened there.
    std::thread([&] { started = Relay(m_query, 0b10); }).join();
    EXPECT_FALSE(started);
    EXPECT_EQ(fakes[0].QueriesSeen(), 0);
    EXPECT_TRUE(m_activity.shown.empty());
}

TEST_F(UpstreamRelayTest, QueriesInFlightAreAnsweredTogether) {
    constexpr int kQueries = 50;
    // The server answers nothing until it has seen every query: relays one at a time would
    // each run out of time first.
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::AnsweringOnceSeen(kQueries, 7)}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    std::vector<Bytes> queries;
    for (int i = 0; i < kQueries; ++i) {
        queries.push_back(
            dnstest::MakeQuery(static_cast<std::uint16_t>(i), "n" + std::to_string(i) + ".org", 1));
        ASSERT_TRUE(Relay(queries.back(), 1));
    }
    DispatchUntilAllEnded();
    for (int i = 0; i < kQueries; ++i) {
        EXPECT_EQ(m_ended[static_cast<std::uint16_t>(i)], CFakeUpstream::ReplyTo(queries[i], 7));
    }
}

TEST_F(UpstreamRelayTest, EachQueryKeepsItsOwnOrderAndTimeOut) {
    const Bytes lost = dnstest::MakeQuery(1, "lost.example", 1);
    const Bytes kept = dnstest::MakeQuery(2, "kept.example", 1);
    // Entry 1, asked first, drops the reply to `lost`; entry 0 answers everything.
    auto dropsLost = [&lost](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        if (query.bytes != lost) {
            server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 2));
        }
    };
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Answering(1)}, {"127.0.0.3", dropsLost}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2", "127.0.0.3"}, fakes.Port());
    ASSERT_TRUE(Relay(lost, 0b11));
    ASSERT_TRUE(Relay(kept, 0b11));
    for (int slice = 0; slice < kMaxDispatchSlices && m_ended.count(2) == 0; ++slice) {
        m_reactor.DispatchReady(kDispatchSliceMs);
    }
    // The lost reply holds up only its own query.
    EXPECT_EQ(m_ended[2], CFakeUpstream::ReplyTo(kept, 2));
    EXPECT_EQ(m_relay->PendingCount(), 1u);
    DispatchUntilAllEnded();
    EXPECT_EQ(m_ended[1], CFakeUpstream::ReplyTo(lost, 1));
    EXPECT_EQ(fakes[0].QueriesSeen(), 1);
}

TEST_F(UpstreamRelayTest, SameIdFromTwoClientsGetsEachItsOwnReply) {
    auto echoesAfter = [](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        server.SendLater(query.from, CFakeUpstream::ReplyTo(query.bytes, query.bytes[13]), 20);
    };
    CFakeUpstreamGroup fakes({{"127.0.0.2", echoesAfter}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    struct Recorder : IRelayClient {
        std::optional<Bytes> reply;
        void OnRelayReply(const RelayRequest&, const std::uint8_t* bytes, std::size_t n) override {
            reply = Bytes(bytes, bytes + n);
        }
        void OnRelayUnanswered(const RelayRequest&) override {}
    } first, second;
    const Bytes a = dnstest::MakeQuery(0x7777, "a.example", 1);
    const Bytes b = dnstest::MakeQuery(0x7777, "b.example", 1);
    ASSERT_TRUE(m_relay->RelayQuery(RequestFor(a, 1), first));
    ASSERT_TRUE(m_relay->RelayQuery(RequestFor(b, 1), second));
    DispatchUntilAllEnded();
    EXPECT_EQ(first.reply, CFakeUpstream::ReplyTo(a, 'a'));
    EXPECT_EQ(second.reply, CFakeUpstream::ReplyTo(b, 'b'));
}

TEST_F(UpstreamRelayTest, RelaysBeyondTheBoundAreNotStartedAndDroppingClosesTheRest) {
    CFakeUpstreamGroup fakes({{"127.0.0.2", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    const auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = openDescriptors();
    for (std::size_t i = 0; i < CUpstreamRelay::kMaxPendingRelays; ++i) {
        ASSERT_TRUE(Relay(m_query, 1)) << i;
    }
    EXPECT_FALSE(Relay(m_query, 1));
    m_relay->DropPending();
    EXPECT_EQ(openDescriptors(), before);
    m_reactor.DispatchReady(2 * kTestReplyTimeoutMs);
    EXPECT_TRUE(m_ended.empty());
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
    void (*send)(CFakeUpstream& asked, const Bystanders& others, const CFakeUpstream::Query& query);
};

void PrintTo(const StrayCase& stray, std::ostream* out) {
    *out << stray.what;
}

const StrayCase kStrayCases[] = {
    {"OtherQuestion",
     [](CFakeUpstream& asked, const Bystanders&, const CFakeUpstream::Query& query) {
         Bytes reply = CFakeUpstream::ReplyTo(query.bytes, 9);
         reply[13] ^= 1;
         asked.SendTo(query.from, reply);
     }},
    {"LongerThanTheClientTakes",
     [](CFakeUpstream& asked, const Bystanders&, const CFakeUpstream::Query& query) {
         Bytes reply = CFakeUpstream::ReplyTo(query.bytes, 9);
         reply.resize(dns::kDnsBufferSize + 1);
         asked.SendTo(query.from, reply);
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
                          public ::testing::WithParamInterface<std::tuple<StrayCase, bool>> {};

TEST_P(StrayDatagramTest, IsThrownAwayAndTheWaitGoesOn) {
    const auto [stray, thenAnswers] = GetParam();
    CFakeUpstream otherPort("127.0.0.2", 0, dnstest::Silent());
    ASSERT_TRUE(otherPort.IsBound());
    Bystanders others;
    others.otherPortOfAskedServer = &otherPort;
    auto asked = [&others, stray = stray, thenAnswers = thenAnswers](
                     CFakeUpstream& server, const CFakeUpstream::Query& query) {
        stray.send(server, others, query);
        if (thenAnswers) {
            server.SendTo(query.from, CFakeUpstream::ReplyTo(query.bytes, 1));
        }
    };
    CFakeUpstreamGroup fakes(
        {{"127.0.0.3", dnstest::Silent()}, {"127.0.0.2", asked}, {"127.0.0.9", dnstest::Silent()}});
    ASSERT_TRUE(fakes.IsBound());
    others.unselectedEntry = &fakes[0];
    others.notInTable = &fakes[2];
    MakeRelay({"127.0.0.3", "127.0.0.2"}, fakes.Port());
    ASSERT_TRUE(Relay(m_query, 0b10));
    DispatchUntilAllEnded();
    if (thenAnswers) {
        EXPECT_EQ(m_ended[0x1234], CFakeUpstream::ReplyTo(m_query, 1));
    } else {
        EXPECT_EQ(m_ended.at(0x1234), std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(Strays, StrayDatagramTest,
                         ::testing::Combine(::testing::ValuesIn(kStrayCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).what) +
                                    (std::get<1>(info.param) ? "ThenReply" : "Only");
                         });

TEST_F(UpstreamRelayTest, ReplyUpToTheClientsEdnsSizeIsTaken) {
    auto large = [](CFakeUpstream& server, const CFakeUpstream::Query& query) {
        Bytes reply = CFakeUpstream::ReplyTo(query.bytes, 1);
        reply.resize(dns::kMaxRelayedReplySize, 0xAB);
        server.SendTo(query.from, reply);
    };
    CFakeUpstreamGroup fakes({{"127.0.0.2", large}});
    ASSERT_TRUE(fakes.IsBound());
    MakeRelay({"127.0.0.2"}, fakes.Port());
    ASSERT_TRUE(Relay(m_query, 1, dns::kMaxRelayedReplySize));
    DispatchUntilAllEnded();
    ASSERT_TRUE(m_ended[0x1234]);
    EXPECT_EQ(m_ended[0x1234]->size(), dns::kMaxRelayedReplySize);
}

}  // namespace
