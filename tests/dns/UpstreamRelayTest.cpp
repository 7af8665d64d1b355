#include "dns/UpstreamRelay.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RecordingActivity.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeUpstream.h"
#include "tests/support/TempFolder.h"

namespace {

using kit::Bytes;
using kit::UpstreamReply;

// Long enough that a server answering at once is never taken for a silent one.
constexpr int kReplyTimeoutMs = 300;

TEST(UpstreamRelayLoadTest, NonEmptyKeysFillTheTableInOrderAndOnlyOtherHostsAreAsked) {
    // IP2 is too long to keep; IP3 is a blank row; IP4 leads back to this server. Entries that are
    // never asked keep their place, so that each UseCode digit names its row.
    kit::CTempFolder folder;
    const char* keys[] = {"", "dns.example.invalid", "0.0.0.0", "127.0.0.1", "10.0.0.5"};
    for (std::size_t row = 0; row < std::size(keys); ++row) {
        folder.Profile().WriteString(profile::kProxy, profile::kServerKeys[row], keys[row]);
    }
    CUpstreamRelay relay(folder.Profile(), nullptr);
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(relay.LoadProxyServers(), 3);
    const std::string complaints = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(relay.ProxyServer(0), "0.0.0.0");
    EXPECT_EQ(relay.ProxyServer(1), "127.0.0.1");
    EXPECT_EQ(relay.ProxyServer(2), "10.0.0.5");
    EXPECT_EQ(relay.AskableServers(), 0b100);
    // A word on each entry that is dropped or never asked, but the blank row.
    EXPECT_EQ(std::count(complaints.begin(), complaints.end(), '\n'), 2) << complaints;
    EXPECT_NE(complaints.find("IP4=127.0.0.1"), std::string::npos) << complaints;
}

// A relay whose servers share the port of a kit::CFakeUpstreamGroup. A request's client port tells
// its end from the others'.
class UpstreamRelayTest : public ::testing::Test, public IRelayClient {
protected:
    // Fake servers on one port, and a relay whose table holds their addresses in order.
    bool MakeRelay(const std::vector<kit::CFakeUpstreamGroup::Member>& servers) {
        m_fakes = std::make_unique<kit::CFakeUpstreamGroup>(servers);
        if (!m_fakes->IsBound()) {
            return false;
        }
        for (std::size_t row = 0; row < servers.size(); ++row) {
            m_folder.Profile().WriteString(profile::kProxy, profile::kServerKeys[row],
                                           servers[row].address);
        }
        m_relay = std::make_unique<CUpstreamRelay>(m_folder.Profile(), &m_activity, m_fakes->Port(),
                                                   kReplyTimeoutMs);
        m_relay->LoadProxyServers();
        return true;
    }
    int QueriesSeen(std::size_t server) { return (*m_fakes)[server].QueriesSeen(); }
    bool Relay(const Bytes& query, int mask, std::uint16_t key = 0, std::size_t replyLimit = 512) {
        RelayRequest request;
        request.query = query;
        request.questionEnd = query.size();
        request.origin.address.sin_port = key;
        request.mask = mask;
        request.replyLimit = replyLimit;
        return m_relay->RelayQuery(request, *this);
    }
    bool DispatchUntilAllEnded() {
        return kit::DispatchUntil(m_reactor, [this] { return m_relay->PendingCount() == 0; });
    }

    void OnRelayReply(const RelayRequest& request, const std::uint8_t* reply, std::size_t length,
                      std::uint32_t server, std::uint32_t durationUs) override {
        m_ended[request.origin.address.sin_port] = Bytes(reply, reply + length);
        m_answeredBy = server;
        m_durationUs = durationUs;
    }
    void OnRelayUnanswered(const RelayRequest& request) override {
        m_ended[request.origin.address.sin_port] = std::nullopt;
    }

    CReactor m_reactor;
    kit::CTempFolder m_folder;
    CRecordingActivity m_activity;
    std::unique_ptr<kit::CFakeUpstreamGroup> m_fakes;
    std::unique_ptr<CUpstreamRelay> m_relay;
    std::map<std::uint16_t, std::optional<Bytes>> m_ended;
    std::uint32_t m_answeredBy = 0;
    std::uint32_t m_durationUs = 0;
    const Bytes m_query = kit::MakeQuery(0x1234, "www.example.org");
};

TEST_F(UpstreamRelayTest, SelectedEntriesAreAskedLastFirstUntilOneAnswersInTime) {
    // Entry 4 leads back to this host and is never asked, whatever listens there; 3 answers too
    // late, 2 is not selected, 1 stays silent.
    ASSERT_TRUE(MakeRelay({{"127.0.0.2", kit::Answering(1)},
                           {"127.0.0.3", kit::Silent()},
                           {"127.0.0.4", kit::Answering(3)},
                           {"127.0.0.5", kit::AnsweringAfter(3 * kReplyTimeoutMs, 4)},
                           {"127.0.0.1", kit::Answering(5)}}));
    ASSERT_TRUE(Relay(m_query, 0b11011));
    ASSERT_TRUE(DispatchUntilAllEnded());
    EXPECT_EQ(m_ended[0], UpstreamReply(m_query, 1));
    EXPECT_EQ(QueriesSeen(1) + QueriesSeen(3), 2);
    EXPECT_EQ(QueriesSeen(2) + QueriesSeen(4), 0);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 5}));
    // The server that answered, after the two that kept silent.
    EXPECT_EQ(m_answeredBy, ::inet_addr("127.0.0.2"));
    EXPECT_GE(m_durationUs, 2u * kReplyTimeoutMs * 1000);
}

TEST_F(UpstreamRelayTest, QueryNoServerAnswersHoldsUpOnlyItselfAndEndsWithoutReply) {
    const Bytes lost = kit::MakeQuery(1, "lost.example");
    auto dropsLost = [&lost](kit::CFakeUpstream& server, const kit::CFakeUpstream::Query& query) {
        if (query.bytes != lost) {
            server.SendTo(query.from, UpstreamReply(query.bytes, 2));
        }
    };
    ASSERT_TRUE(MakeRelay({{"127.0.0.2", dropsLost}, {"127.0.0.3", dropsLost}}));
    ASSERT_TRUE(Relay(lost, 0b11, 1));
    ASSERT_TRUE(Relay(m_query, 0b11, 2));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [this] { return m_ended.count(2) != 0; }));
    EXPECT_EQ(m_ended[2], UpstreamReply(m_query, 2));
    EXPECT_EQ(m_relay->PendingCount(), 1u);
    ASSERT_TRUE(DispatchUntilAllEnded());
    EXPECT_EQ(m_ended.at(1), std::nullopt);
    EXPECT_EQ(QueriesSeen(0) + QueriesSeen(1), 3);
    EXPECT_EQ(m_activity.shown, (std::vector<int>{5, 5, 5, 1}));
}

TEST_F(UpstreamRelayTest, BurstOfQueriesWithOneIdIsAnsweredTogetherEachWithItsOwnReply) {
    constexpr int kQueries = 50;
    // Nothing is answered until every query has come: relays one at a time would time out.
    ASSERT_TRUE(MakeRelay({{"127.0.0.2", kit::AnsweringOnceSeen(kQueries, 7)}}));
    std::vector<Bytes> queries;
    for (std::uint16_t i = 0; i < kQueries; ++i) {
        queries.push_back(kit::MakeQuery(0x7777, "n" + std::to_string(i) + ".example"));
        ASSERT_TRUE(Relay(queries.back(), 1, i));
    }
    ASSERT_TRUE(DispatchUntilAllEnded());
    for (std::uint16_t i = 0; i < kQueries; ++i) {
        EXPECT_EQ(m_ended[i], UpstreamReply(queries[i], 7));
    }
}

TEST_F(UpstreamRelayTest, RelaysBeyondTheBoundAreNotStartedAndDroppedOnesEndWithoutAWord) {
    ASSERT_TRUE(MakeRelay({{"127.0.0.2", kit::Silent()}}));
    for (std::size_t i = 0; i < CUpstreamRelay::kMaxPendingRelays; ++i) {
        ASSERT_TRUE(Relay(m_query, 1));
    }
    EXPECT_FALSE(Relay(m_query, 1));
    m_relay->DropPending();
    kit::DispatchFor(m_reactor, 2 * kReplyTimeoutMs);
    EXPECT_TRUE(m_ended.empty());
}

TEST_F(UpstreamRelayTest, DatagramsThatAreNotTheReplyAreThrownAwayAndTheWaitGoesOn) {
    // The reply is as long as the client takes. Before it come a datagram from a host that was not
    // asked and one from another port of the asked one, and from the asked server another question,
    // a longer reply and an empty datagram.
    constexpr std::size_t kLimit = 1232;
    Bytes reply = UpstreamReply(m_query, 1);
    reply.resize(kLimit, 0xAB);
    Bytes stray = reply;
    stray.back() = 0xCD;
    Bytes otherQuestion = reply;
    otherQuestion[13] ^= 1;
    Bytes tooLong = reply;
    tooLong.push_back(0);
    const kit::CFakeUpstream notAsked("127.0.0.9", 0, kit::Silent());
    const kit::CFakeUpstream otherPort("127.0.0.2", 0, kit::Silent());
    auto asked = [&](kit::CFakeUpstream& server, const kit::CFakeUpstream::Query& query) {
        notAsked.SendTo(query.from, stray);
        otherPort.SendTo(query.from, stray);
        for (const Bytes& datagram : {otherQuestion, tooLong, Bytes{}, reply}) {
            server.SendTo(query.from, datagram);
        }
    };
    ASSERT_TRUE(notAsked.IsBound() && otherPort.IsBound() && MakeRelay({{"127.0.0.2", asked}}));
    ASSERT_TRUE(Relay(m_query, 1, 0, kLimit));
    ASSERT_TRUE(DispatchUntilAllEnded());
    EXPECT_EQ(m_ended[0], reply);
}

}  // namespace
