#include "shell/CommandChannel.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <vector>

#include "base/UniqueFd.h"
#include "net/AsyncSocket.h"
#include "net/Reactor.h"
#include "net/Sys.h"
#include "tests/support/Dispatch.h"
#include "tests/support/TempFolder.h"

namespace {

using Result = CCommandChannel::PostResult;

// A Unix stream socket of this process at `path`, bound and listening with a queue of
// `backlog`, or bound only (backlog < 0).
CUniqueFd ListenerAt(const std::string& path, int backlog) {
    CUniqueFd fd(sys::UnixSocket(false));
    EXPECT_EQ(sys::BindUnix(fd.Get(), path), 0);
    EXPECT_TRUE(backlog < 0 || sys::Listen(fd.Get(), backlog) == 0);
    return fd;
}

class CommandChannelTest : public ::testing::Test {
protected:
    Result Post(const std::string& name, const std::vector<int>& ids) const {
        return CCommandChannel::Post(m_folder.Path(), name, ids);
    }
    bool Listen(const std::string& name) {
        return m_channel.Listen(m_folder.Path(), name) &&
               m_channel.Serve(m_reactor, [this](int id) { m_received.push_back(id); });
    }
    bool AwaitIds(std::size_t count) {
        return kit::DispatchUntil(m_reactor, [&] { return m_received.size() >= count; });
    }

    kit::CTempFolder m_folder;
    CReactor m_reactor;
    std::vector<int> m_received;
    CCommandChannel m_channel;
};

// An instance listens before it has a loop to serve the channel: nothing sent meanwhile is
// lost, and ids arrive in order whatever the letter case of the name they were posted to,
// also from a sender whose bytes come one at a time.
TEST_F(CommandChannelTest, PostedIdsArriveInOrderWhateverTheNamesLetterCaseOnceServed) {
    ASSERT_TRUE(m_channel.Listen(m_folder.Path(), "Quorvin"));
    EXPECT_EQ(Post("QUORVIN", {32775}), Result::kDelivered);
    EXPECT_EQ(Post("quorvin", {32777, 1}), Result::kDelivered);
    ASSERT_TRUE(m_channel.Serve(m_reactor, [this](int id) { m_received.push_back(id); }));
    EXPECT_TRUE(AwaitIds(3));
    const CUniqueFd sender(sys::UnixSocket(false));
    ASSERT_EQ(sys::ConnectUnix(sender.Get(), m_folder.Path() + "/Quorvin"), 0);
    for (const char byte : std::string_view("57665\n")) {
        ASSERT_EQ(::write(sender.Get(), &byte, 1), 1);
        kit::DispatchFor(m_reactor, 5);
    }
    EXPECT_TRUE(AwaitIds(4));
    EXPECT_EQ(m_received, (std::vector<int>{32775, 32777, 1, 57665}));
}

// An instance that died without cleaning up leaves its socket file behind; one that is
// stopped or swamped takes no connection, and a second start must not hang on it.
TEST_F(CommandChannelTest, SocketOfNoLiveInstanceIsReplacedAndAStuckOneGivesUp) {
    EXPECT_EQ(Post("NIMBREL", {57665}), Result::kNoInstance);
    ListenerAt(m_folder.Path() + "/NIMBREL", -1);
    EXPECT_EQ(Post("NIMBREL", {57665}), Result::kNoInstance);
    ASSERT_TRUE(Listen("NIMBREL"));
    EXPECT_EQ(Post("NIMBREL", {32777}), Result::kDelivered);
    EXPECT_TRUE(AwaitIds(1));

    const CUniqueFd stuck = ListenerAt(m_folder.Path() + "/QUORVIN", 0);
    EXPECT_EQ(Post("QUORVIN", {1}), Result::kDelivered);  // fills the queue of length 0
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Post("QUORVIN", {32776}), Result::kNotTaken);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

// Racing starts: the second finds the first alive and fails; and once another socket
// stands at the path, the first one's end leaves it there.
TEST_F(CommandChannelTest, TwoChannelsOnOneNameNeverRemoveEachOthersSocket) {
    ASSERT_TRUE(Listen("QUORVIN"));
    auto second = std::make_unique<CCommandChannel>();
    EXPECT_FALSE(second->Listen(m_folder.Path(), "QUORVIN"));
    second.reset();
    EXPECT_EQ(Post("QUORVIN", {32776}), Result::kDelivered);
    auto first = std::make_unique<CCommandChannel>();
    ASSERT_TRUE(first->Listen(m_folder.Path(), "NIMBREL"));
    ::unlink((m_folder.Path() + "/NIMBREL").c_str());
    const CUniqueFd other = ListenerAt(m_folder.Path() + "/NIMBREL", 1);
    first.reset();
    EXPECT_EQ(::access((m_folder.Path() + "/NIMBREL").c_str(), F_OK), 0);
}

// Only root can act as another user here: neither end talks to a process of another user.
TEST_F(CommandChannelTest, PeerOfAnotherUserIsIgnoredAtBothEnds) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process of another user";
    }
    ::chmod(m_folder.Path().c_str(), 0777);
    ASSERT_TRUE(Listen("NIMBREL"));
    ::chmod((m_folder.Path() + "/NIMBREL").c_str(), 0777);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t stranger = ::fork();
    if (stranger == 0) {
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            Post("NIMBREL", {57665});
            const CUniqueFd own = ListenerAt(m_folder.Path() + "/QUORVIN", 1);
            ::write(ready[1], "x", 1);
            ::pause();
        }
        ::_exit(1);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    kit::DispatchFor(m_reactor, 200);
    EXPECT_TRUE(m_received.empty());
    EXPECT_EQ(Post("QUORVIN", {57665}), Result::kNoInstance);
    ::kill(stranger, SIGKILL);
    ::waitpid(stranger, nullptr, 0);
}

// A full process must neither lose a second start's commands nor spin on the listener.
TEST_F(CommandChannelTest, ListenerOutOfDescriptorsWaitsForOneAndLosesNothing) {
    ASSERT_TRUE(Listen("NIMBREL"));
    auto closing = std::make_unique<CAsyncSocket>();
    ASSERT_TRUE(closing->Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    // The loop meets the socket once while descriptors are free: the sanitizers need one then.
    kit::DispatchFor(m_reactor, 20);
    EXPECT_EQ(Post("NIMBREL", {32775}), Result::kDelivered);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlimit low{256, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<CUniqueFd> taken;
    for (int fd = ::dup(0); fd >= 0; fd = ::dup(0)) {
        taken.emplace_back(fd);
    }
    kit::DispatchFor(m_reactor, 20);
    EXPECT_TRUE(m_received.empty());
    pollfd loop{m_reactor.Fd(), POLLIN, 0};
    EXPECT_EQ(::poll(&loop, 1, 0), 0);  // nothing left for the loop to do
    taken.clear();
    closing.reset();  // a socket of the loop closes: descriptors are free again
    EXPECT_TRUE(AwaitIds(1));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
}

}  // namespace
