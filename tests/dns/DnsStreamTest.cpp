#include "dns/DnsStreamListener.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dns/DnsQuestion.h"
#include "dns/DnsSocket.h"
#include "dns/DnsStreamConnection.h"
#include "dns/FilterLists.h"
#include "dns/QueryHandler.h"
#include "dns/UpstreamRelay.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeUpstream.h"
#include "tests/support/LoopbackClients.h"
#include "tests/support/TempFolder.h"

namespace {

using kit::Bytes;

constexpr int kReplyTimeoutMs = 300;
constexpr int kShortIdleTimeoutMs = 200;

// The DNS service over TCP on a free port of 127.0.0.1, with its datagram twin on the same
// port: ads.example is named, and the upstream servers of MakeRelay answer the rest.
class DnsStreamTest : public ::testing::Test {
protected:
    DnsStreamTest() {
        m_folder.Write("named.txt", "ads.example\n");
        m_folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath,
                                       m_folder.Path());
        m_filters.LoadFilters();
    }

    void MakeService(const std::vector<kit::CFakeUpstreamGroup::Member>& servers = {},
                     int idleTimeoutMs = CDnsStreamListener::kIdleTimeoutMs) {
        unsigned upstreamPort = 0;
        if (!servers.empty()) {
            m_upstream = std::make_unique<kit::CFakeUpstreamGroup>(servers);
            ASSERT_TRUE(m_upstream->IsBound());
            upstreamPort = m_upstream->Port();
            for (std::size_t row = 0; row < servers.size(); ++row) {
                m_folder.Profile().WriteString(profile::kProxy, profile::kServerKeys[row],
                                               servers[row].address);
            }
            m_folder.Profile().WriteString(profile::kProxy, profile::kUseCode, "11000");
        }
        m_relay = std::make_unique<CUpstreamRelay>(m_folder.Profile(), nullptr, upstreamPort,
                                                   kReplyTimeoutMs);
        m_relay->LoadProxyServers();
        m_handler =
            std::make_unique<CQueryHandler>(m_filters, *m_relay, m_folder.Profile(), nullptr);
        m_datagrams = std::make_unique<CDnsSocket>(*m_handler);
        ASSERT_TRUE(m_datagrams->Start(0));
        m_listener = std::make_unique<CDnsStreamListener>(*m_handler, idleTimeoutMs);
        ASSERT_TRUE(m_listener->Start("127.0.0.1", m_datagrams->LocalPort()));
    }
    unsigned Port() const { return m_datagrams->LocalPort(); }

    // Runs the service until `client` holds `count` replies, or has been closed.
    std::vector<Bytes> Replies(kit::CTcpClient& client, std::size_t count) {
        kit::DispatchUntil(m_reactor, [&] {
            client.ReadAvailable();
            return client.Ended() || kit::Unframed(client.Received()).size() >= count;
        });
        return kit::Unframed(client.Received());
    }
    // What the datagram service answers to `query`.
    Bytes DatagramReply(const Bytes& query) {
        m_udp.Send(Port(), query);
        std::optional<Bytes> reply;
        kit::DispatchUntil(m_reactor, [&] { return (reply = m_udp.Receive(0)).has_value(); });
        return reply.value_or(Bytes{});
    }

    CReactor m_reactor;
    kit::CTempFolder m_folder;
    CFilterLists m_filters{m_folder.Profile(), nullptr};
    std::unique_ptr<kit::CFakeUpstreamGroup> m_upstream;
    std::unique_ptr<CUpstreamRelay> m_relay;
    std::unique_ptr<CQueryHandler> m_handler;
    std::unique_ptr<CDnsSocket> m_datagrams;
    std::unique_ptr<CDnsStreamListener> m_listener;
    kit::CUdpClient m_udp;
};

// Three queries back to back, the first split at every byte; an empty message and one that
// holds no question between them are dropped and the connection stays. Each reply is the
// datagram service's, byte for byte.
TEST_F(DnsStreamTest, PipelinedQueriesSplitAtEveryByteGetTheDatagramReplies) {
    MakeService();
    const Bytes first = kit::MakeQuery(1, "img.ads.example");
    const Bytes second = kit::MakeQuery(2, "1.0.0.127.in-addr.arpa", kit::kTypePtr);
    const Bytes third = kit::MakeQueryWithOpt(3, "ads.example", kit::kTypeAaaa);
    const std::string stream = kit::Framed(first) + kit::Framed({}) + kit::Framed({1, 2, 3}) +
                               kit::Framed(second) + kit::Framed(third);
    const std::vector<Bytes> expected = {DatagramReply(first), DatagramReply(second),
                                         DatagramReply(third)};
    for (std::size_t split = 1; split < kit::Framed(first).size(); ++split) {
        SCOPED_TRACE(split);
        kit::CTcpClient client(Port());
        ASSERT_TRUE(client.IsConnected());
        ASSERT_EQ(client.SendSome(stream.substr(0, split)), split);
        kit::DispatchFor(m_reactor, 1);
        ASSERT_EQ(client.SendSome(stream.substr(split)), stream.size() - split);
        EXPECT_EQ(Replies(client, 3), expected);
        EXPECT_FALSE(client.Ended());
    }
}

// Asked over TCP, the relay asks over TCP too, the last row first, each server for the reply
// time-out. From the server that answers come the query sent back (QR clear), a message of
// another OPCODE and another ID before the reply, which is longer than a datagram could be.
TEST_F(DnsStreamTest, RelayedQueryGoesUpstreamOverTcpAndOnlyItsReplyComesBack) {
    const Bytes query = kit::MakeQuery(0x4242, "www.example");
    Bytes reply = kit::UpstreamReply(query, 9);
    reply.resize(3000, 0xAB);
    Bytes otherOpcode = reply;
    otherOpcode[2] = 0xA9;
    Bytes otherId = reply;
    otherId[1] ^= 1;
    auto answering = [&](kit::CFakeUpstream& server, const kit::CFakeUpstream::Query& asked) {
        for (const Bytes& message : {asked.bytes, otherOpcode, otherId, reply}) {
            server.Answer(asked, message);
        }
    };
    MakeService({{"127.0.0.2", answering}, {"127.0.0.3", kit::Silent()}});
    kit::CTcpClient client(Port());
    client.SendSome(kit::Framed(query));
    EXPECT_EQ(Replies(client, 1), std::vector<Bytes>{reply});
    EXPECT_EQ((*m_upstream)[0].TcpQueriesSeen(), 1);
    EXPECT_EQ((*m_upstream)[1].TcpQueriesSeen(), 1);
    EXPECT_EQ((*m_upstream)[0].QueriesSeen() + (*m_upstream)[1].QueriesSeen(), 2);
}

// Bytes that come while the connection's bound of queries are with the relay wait in the
// kernel; the first reply lets them in.
TEST_F(DnsStreamTest, QueriesBeyondThePendingBoundWaitForAReply) {
    MakeService({{"127.0.0.2", kit::AnsweringAfter(150, 5)}});
    kit::CTcpClient client(Port());
    std::string queries;
    for (int i = 0; i < CDnsStreamConnection::kMaxPendingQueries; ++i) {
        queries += kit::Framed(kit::MakeQuery(static_cast<std::uint16_t>(i), "www.example"));
    }
    client.SendSome(queries);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] {
        return (*m_upstream)[0].QueriesSeen() == CDnsStreamConnection::kMaxPendingQueries;
    }));
    client.SendSome(kit::Framed(kit::MakeQuery(7, "ads.example")));
    EXPECT_EQ(Replies(client, CDnsStreamConnection::kMaxPendingQueries + 1).size(),
              CDnsStreamConnection::kMaxPendingQueries + 1u);
}

// A connection with nothing pending, and one whose message stopped midway, are closed after
// the idle time-out.
TEST_F(DnsStreamTest, SilentConnectionsAndUnfinishedMessagesAreClosed) {
    MakeService({}, kShortIdleTimeoutMs);
    kit::CTcpClient silent(Port());
    kit::CTcpClient unfinished(Port());
    unfinished.SendSome(kit::Framed(kit::MakeQuery(1, "ads.example")).substr(0, 9));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_listener->ConnectionCount() == 2; }));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_listener->ConnectionCount() == 0; }));
    EXPECT_TRUE(silent.ReadToEnd().empty());
    EXPECT_TRUE(unfinished.ReadToEnd().empty());
}

// One connection beyond the bound is closed at once; those within it stay and are served.
TEST_F(DnsStreamTest, ConnectionBeyondTheBoundIsClosedAtOnce) {
    MakeService();
    std::vector<std::unique_ptr<kit::CTcpClient>> clients;
    for (std::size_t i = 0; i < CDnsStreamListener::kMaxConnections; ++i) {
        clients.push_back(std::make_unique<kit::CTcpClient>(Port()));
    }
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] {
        return m_listener->ConnectionCount() == CDnsStreamListener::kMaxConnections;
    }));
    kit::CTcpClient extra(Port());
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] {
        extra.ReadAvailable();
        return extra.Ended();
    }));
    EXPECT_TRUE(extra.Received().empty());
    clients.back()->SendSome(kit::Framed(kit::MakeQuery(7, "ads.example")));
    EXPECT_EQ(Replies(*clients.back(), 1).size(), 1u);
    EXPECT_EQ(m_listener->ConnectionCount(), CDnsStreamListener::kMaxConnections);
}

// A client that sends and never reads is cut off once its unsent replies reach the bound; the
// datagram service goes on meanwhile.
TEST_F(DnsStreamTest, ClientThatNeverReadsIsClosedOnceItsRepliesPileUp) {
    MakeService();
    kit::TcpOptions options;
    options.receiveBuffer = 4096;
    kit::CTcpClient client(Port(), options);
    std::string queries;
    for (int i = 0; i < 1000; ++i) {
        queries += kit::Framed(kit::MakeQuery(static_cast<std::uint16_t>(i), "a.ads.example"));
    }
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_listener->ConnectionCount() == 1; }));
    // Bounded: replies of 1000 rounds are far beyond any buffer.
    for (int round = 0; round < 1000 && m_listener->ConnectionCount() == 1; ++round) {
        client.SendSome(queries);
        kit::DispatchFor(m_reactor, 1);
    }
    EXPECT_EQ(m_listener->ConnectionCount(), 0u);
    EXPECT_FALSE(DatagramReply(kit::MakeQuery(1, "ads.example")).empty());
}

}  // namespace
