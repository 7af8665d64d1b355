#include "subscriptions/ListUpdate.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <optional>
#include <string>

#include "net/AsyncSocket.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "subscriptions/ListFileName.h"
#include "subscriptions/ListPaths.h"
#include "subscriptions/ListState.h"
#include "subscriptions/ListUpdater.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/LoopbackClients.h"
#include "tests/support/TempFolder.h"

namespace {

using Response = kit::CFakeHttpServer::Response;

constexpr const char* kHosts = "0.0.0.0 ads.example\n";
constexpr const char* kOldList = "old.example\n";

// A filter folder with one block list subscribed from `server`, and one update of it.
struct UpdateRun {
    explicit UpdateRun(const kit::CFakeHttpServer& server)
        : list{ListSide::kBlock, server.Url("/hosts")} {}

    // Runs one update of the list to its end; whether it changed the list file.
    std::optional<bool> Update() {
        std::optional<bool> changed;
        CListUpdate update(reactor, folder.Path(), [&](bool c) { changed = c; });
        update.Add(list);
        kit::DispatchUntil(reactor, [&] { return changed.has_value(); });
        return changed;
    }
    std::string Kept() const { return folder.Read("block/" + ListFileName(list.url)); }
    ListState State() const { return ReadListState(ListStatePath(folder.Path(), list)); }
    void KeepOldList() const {
        folder.AddFolder("block");
        folder.Write("block/" + ListFileName(list.url), kOldList);
    }

    CReactor reactor;
    kit::CTempFolder folder;
    ListSubscription list;
};

// The list's URL redirects: only the validators of the last response count.
TEST(ListUpdateTest, GoodListIsKeptAndItsETagMakesTheNextRequestConditional) {
    kit::CFakeHttpServer server([](const std::string& request) {
        if (request.starts_with("GET /hosts ")) {
            return Response{302, "Location: /v1\r\nLast-Modified: Sun, 1 Jan 2023\r\n", ""};
        }
        if (request.find("\r\nIf-None-Match: \"v1\"\r\n") != std::string::npos) {
            return Response{304, "ETag: \"v1\"\r\n", ""};
        }
        return Response{200, "ETag: \"v1\"\r\n", kHosts};
    });
    UpdateRun run(server);
    EXPECT_EQ(run.Update(), true);
    EXPECT_EQ(run.Kept(), kHosts);
    EXPECT_EQ(run.State().etag, "\"v1\"");
    EXPECT_EQ(run.State().lastModified, "");
    EXPECT_GT(run.State().lastGood, 0);

    EXPECT_EQ(run.Update(), false);
    EXPECT_EQ(run.Kept(), kHosts);
    EXPECT_EQ(run.State().lastError, "");
    ASSERT_EQ(server.Requests().size(), 4u);
    EXPECT_EQ(server.Requests()[0].find("If-None-Match"), std::string::npos);
}

TEST(ListUpdateTest, FailedDownloadKeepsThePreviousFileAndSaysWhy) {
    const std::tuple<Response, std::string> rows[] = {
        {{500, "", kHosts}, "HTTP status 500"},
        {{200, "", std::string(1 << 20, '#'), 65}, "over the size limit of 64 MiB"},
        {{200, "Content-Length: 99\r\n", kHosts, 1},
         "transfer closed with 79 bytes remaining to read"},
    };
    for (const auto& [response, reason] : rows) {
        SCOPED_TRACE(reason);
        kit::CFakeHttpServer server([&](const std::string&) { return response; });
        UpdateRun run(server);
        run.KeepOldList();
        EXPECT_EQ(run.Update(), false);
        EXPECT_EQ(run.Kept(), kOldList);
        EXPECT_EQ(run.State().lastError, reason);
        EXPECT_EQ(run.State().lastGood, 0);
    }
}

// The download is the loop's work like any other: a socket of the loop is served while the
// body is held, and an update ended before its download leaves the old file.
TEST(ListUpdateTest, HeldDownloadLeavesTheLoopFreeAndAnEndedUpdateTheOldFile) {
    kit::CFakeHttpServer server([](const std::string&) {
        return Response{200, "", kHosts, 0, true};
    });
    UpdateRun run(server);
    run.KeepOldList();
    struct CPinged : CAsyncSocket {
        void OnReceive(int) override { pinged = true; }
        bool pinged = false;
    } socket;
    ASSERT_TRUE(socket.Create(0, SOCK_DGRAM, FD_READ, "127.0.0.1"));
    {
        CListUpdate update(run.reactor, run.folder.Path(), [](bool) { FAIL(); });
        update.Add(run.list);
        ASSERT_TRUE(kit::DispatchUntil(run.reactor, [&] { return !server.Requests().empty(); }));
        kit::CUdpClient().Send(socket.LocalPort(), {1});
        EXPECT_TRUE(kit::DispatchUntil(run.reactor, [&] { return socket.pinged; }));
    }
    kit::DispatchFor(run.reactor, 50);
    EXPECT_EQ(run.Kept(), kOldList);
}

// Block7 repeats Block2 and Block5 is no list URL: two lists, each fetched once per update,
// the first one at the start, where every list without a file is due.
TEST(ListUpdaterTest, EveryListIsFetchedAndTheFiltersReloadOnceWhenOneChanged) {
    kit::CFakeHttpServer server([](const std::string& request) {
        const bool conditional = request.find("If-None-Match") != std::string::npos;
        return conditional ? Response{304, "", ""} : Response{200, "ETag: \"1\"\r\n", kHosts};
    });
    CReactor reactor;
    kit::CTempFolder folder;
    const ProfileEntry entries[] = {
        {profile::kPreferences, profile::kFilterPath, folder.Path()},
        {profile::kLists, profile::kRefreshHours, "1"},
        {profile::kLists, "Block2", server.Url("/hosts")},
        {profile::kLists, "Block5", "ftp://lists.example/hosts"},
        {profile::kLists, "Block7", server.Url("/hosts")},
        {profile::kLists, "Allow9", server.Url("/allow")},
    };
    ASSERT_TRUE(folder.Profile().WriteStrings(entries));
    int reloads = 0;
    CListUpdater updater(folder.Profile(), [&] { ++reloads; });
    for (const bool atStart : {true, false}) {
        atStart ? updater.Start() : updater.UpdateAll();
        EXPECT_TRUE(updater.IsUpdating());
        EXPECT_TRUE(kit::DispatchUntil(reactor, [&] { return !updater.IsUpdating(); }));
        EXPECT_EQ(reloads, 1);
    }
    EXPECT_EQ(folder.Read("allow/" + ListFileName(server.Url("/allow"))), kHosts);
    EXPECT_EQ(server.Requests().size(), 4u);
}

}  // namespace
