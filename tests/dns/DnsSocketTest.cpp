#include "dns/DnsSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "RecordingActivity.h"
#include "dns/DnsQuestion.h"
#include "dns/FilterLists.h"
#include "dns/LocalAnswer.h"
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

// Long enough that a server answering at once is never taken for a silent one.
constexpr int kReplyTimeoutMs = 300;
constexpr std::uint8_t kUpstreamTag = 0x5A;

enum class Reply { kNothing, kAddress, kPointer, kEmpty, kRefused, kServFail, kRelayed };
using enum Reply;

// A query with two questions counted and an OPT record: the reply shows what it keeps.
Bytes Query(std::string_view name, std::uint16_t type) {
    Bytes query = kit::MakeQueryWithOpt(0x6161, name, type);
    query[5] = 2;
    return query;
}

// The local answers as the builders make them (an address answer carries 127.0.0.1), a relayed
// reply as the upstream server sent it.
std::optional<Bytes> ExpectedReply(const Bytes& query, Reply reply) {
    if (reply == kNothing || reply == kRelayed) {
        return reply == kNothing ? std::nullopt
                                 : std::optional(kit::UpstreamReply(query, kUpstreamTag));
    }
    CDnsQuestion question;
    EXPECT_TRUE(question.Decode(query.data(), query.size()));
    dns::MessageBuffer buffer{};
    std::copy(query.begin(), query.end(), buffer.begin());
    const std::size_t end = question.End();
    const std::size_t length =
        reply == kAddress   ? dns::BuildAddressAnswer(buffer, end, {127, 0, 0, 1})
        : reply == kPointer ? dns::BuildLocalhostPointerAnswer(buffer, end)
        : reply == kEmpty
            ? dns::BuildEmptyAnswer(buffer, end)
            : dns::BuildErrorReply(buffer, end,
                                   reply == kRefused ? dns::kRcodeRefused : dns::kRcodeServFail);
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

// One server on a free port of 127.0.0.1 answers a sequence of queries, each row after the profile
// got its values. ads.example is named, passed.example passed; upstream entry 0 stays silent, entry
// 1 answers.
TEST(DnsSocketTest, RepliesAndShowsActivityAsTheRouteOfEachQuerySays) {
    CReactor reactor;
    kit::CTempFolder folder;
    folder.Write("named.txt", "ads.example\n");
    folder.Write("pass.txt", "passed.example\n");
    folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath, folder.Path());
    kit::CFakeUpstreamGroup upstream(
        {{"127.0.0.2", kit::Silent()}, {"127.0.0.3", kit::Answering(kUpstreamTag)}});
    ASSERT_TRUE(upstream.IsBound());
    folder.Profile().WriteString(profile::kProxy, profile::kServerKeys[0], "127.0.0.2");
    folder.Profile().WriteString(profile::kProxy, profile::kServerKeys[1], "127.0.0.3");
    CFilterLists filters(folder.Profile(), nullptr);
    filters.LoadFilters();
    CRecordingActivity activity;
    CUpstreamRelay relay(folder.Profile(), &activity, upstream.Port(), kReplyTimeoutMs);
    relay.LoadProxyServers();
    CQueryHandler handler(filters, relay, folder.Profile(), &activity);
    CDnsSocket server(handler);
    ASSERT_TRUE(server.Start(0));
    kit::CUdpClient client;

    constexpr std::uint16_t kA = kit::kTypeA, kPtr = kit::kTypePtr, kAaaa = kit::kTypeAaaa;
    Bytes cut = Query("ads.example", kA);
    cut.resize(28);
    using Q = ActivityOutcome;
    using Counted = std::vector<ActivityOutcome>;
    // Columns: AlwaysReply (null: as before, at first no key at all), UseCode, the query; the
    // reply, the activity states shown, the outcome counted.
    const std::tuple<const char*, int, Bytes, Reply, std::vector<int>, Counted> rows[] = {
        {nullptr, 0, Query("img.ads.example", kA), kAddress, {2, 1, 3, 1}, {Q::kBlocked}},
        {nullptr, 0, Query("1.0.0.127.in-addr.arpa", kPtr), kPointer, {2, 1, 3, 1}, {Q::kLocal}},
        {nullptr, 0, Query("ads.example", kAaaa), kEmpty, {2, 1, 3, 1}, {Q::kBlocked}},
        {nullptr, 0, Query("www.example", kA), kRefused, {2, 1}, {Q::kRefused}},
        {nullptr, 10000, Query("www.example", kA), kServFail, {2, 1, 5, 1}, {Q::kFailed}},
        {nullptr, 1000, Query("www.example", kA), kRelayed, {2, 1, 5, 5}, {Q::kRelayed}},
        {"1", 10000, Query("passed.example", kAaaa), kRefused, {2, 1, 1}, {Q::kRefused}},
        {" 7 ", 0, Query("4.3.2.1.in-addr.arpa", kPtr), kRefused, {2, 1, 3}, {Q::kRefused}},
        {"0", 0, Query("ads.example", kAaaa), kNothing, {2, 1, 1}, {Q::kDropped}},
        {"0", 0, Query("www.example", kA), kNothing, {2, 1}, {Q::kDropped}},
        {"0", 10000, Query("www.example", kA), kNothing, {2, 1, 5, 1}, {Q::kDropped}},
        {"0", 0, cut, kNothing, {2, 1, 1}, {}},  // malformed: dropped uncounted, the next answered
        {"0", 0, Query("ads.example", kA), kAddress, {2, 1, 3, 1}, {Q::kBlocked}}};
    int row = 0;
    for (const auto& [alwaysReply, useCode, query, expected, shown, counted] : rows) {
        SCOPED_TRACE(row++);
        if (alwaysReply != nullptr) {
            folder.Profile().WriteString(profile::kProxy, profile::kAlwaysReply, alwaysReply);
        }
        folder.Profile().WriteString(profile::kProxy, profile::kUseCode, std::to_string(useCode));
        activity.shown.clear();
        activity.outcomes.clear();
        client.Send(server.LocalPort(), query);
        // Once the server has read the query and any relay of it has ended, every reply has
        // been sent.
        kit::DispatchUntil(reactor,
                           [&] { return !activity.shown.empty() && relay.PendingCount() == 0; });
        EXPECT_EQ(client.Receive(100), ExpectedReply(query, expected));
        EXPECT_EQ(activity.shown, shown);
        EXPECT_EQ(activity.outcomes, counted);
        if (expected == kRelayed) {
            EXPECT_EQ(activity.lastServer, ::inet_addr("127.0.0.3"));
        }
    }
}

// A burst sent before the server reads anything is taken in batches; each datagram still gets
// its own route, activity states, count and reply, in order of arrival.
TEST(DnsSocketTest, AnswersEveryDatagramOfABurstAsItsRouteSays) {
    CReactor reactor;
    kit::CTempFolder folder;
    folder.Write("named.txt", "ads.example\n");
    folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath, folder.Path());
    CFilterLists filters(folder.Profile(), nullptr);
    filters.LoadFilters();
    CRecordingActivity activity;
    CUpstreamRelay relay(folder.Profile(), &activity, 0, kReplyTimeoutMs);
    CQueryHandler handler(filters, relay, folder.Profile(), &activity);
    CDnsSocket server(handler);
    ASSERT_TRUE(server.Start(0));
    kit::CUdpClient client;

    using Q = ActivityOutcome;
    // Columns: the query's name and type (no name: a datagram too long to read); the reply, the
    // activity states shown, the outcome counted.
    const std::tuple<const char*, std::uint16_t, Reply, std::vector<int>, std::vector<Q>> kinds[] =
        {{"img.ads.example", kit::kTypeA, kAddress, {2, 1, 3, 1}, {Q::kBlocked}},
         {"1.0.0.127.in-addr.arpa", kit::kTypePtr, kPointer, {2, 1, 3, 1}, {Q::kLocal}},
         {"www.example", kit::kTypeA, kRefused, {2, 1}, {Q::kRefused}},
         {nullptr, 0, kNothing, {2, 1, 1}, {}}};
    constexpr std::uint16_t kBurst = 150;  // more than one batch
    std::vector<std::optional<Bytes>> expected;
    std::vector<int> shown;
    std::vector<Q> counted;
    for (std::uint16_t id = 0; id < kBurst; ++id) {
        const auto& [name, type, reply, states, outcomes] = kinds[id % std::size(kinds)];
        const Bytes query = name != nullptr ? kit::MakeQuery(id, name, type) : Bytes(600, 0);
        client.Send(server.LocalPort(), query);
        expected.push_back(ExpectedReply(query, reply));
        shown.insert(shown.end(), states.begin(), states.end());
        counted.insert(counted.end(), outcomes.begin(), outcomes.end());
    }
    ASSERT_TRUE(kit::DispatchUntil(reactor, [&] { return activity.shown.size() == shown.size(); }));
    EXPECT_EQ(activity.shown, shown);
    EXPECT_EQ(activity.outcomes, counted);
    for (const std::optional<Bytes>& reply : expected) {
        if (reply) {
            EXPECT_EQ(client.Receive(1000), reply);
        }
    }
    EXPECT_EQ(client.Receive(0), std::nullopt);
}

}  // namespace
