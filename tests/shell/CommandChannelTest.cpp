#include "shell/CommandChannel.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "net/AsyncSocket.h"
#include "net/Reactor.h"
#include "shell/InstanceLock.h"

namespace fs = std::filesystem;

namespace {

using Result = CCommandChannel::PostResult;

// Who owns nothing on this machine.
constexpr uid_t kStranger = 65534;

enum class Use { kBind, kListen, kConnect };

// A Unix stream socket of this process at `path`: bound, listening with a queue of
// `backlog`, or connected; -1 when that fails.
int SocketAt(const std::string& path, Use use, int backlog = 1) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    if (use == Use::kConnect ? ::connect(fd, at, sizeof address) == 0
                             : ::bind(fd, at, sizeof address) == 0 &&
                                   (use == Use::kBind || ::listen(fd, backlog) == 0)) {
        return fd;
    }
    ::close(fd);
    return -1;
}

// Starts `body` in a child process of another user, which ends with body's result.
pid_t StartAsStranger(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::setgid(kStranger) == 0 && ::setuid(kStranger) == 0 ? body() : 99);
    }
    return child;
}

int ExitStatusOf(pid_t child) {
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CommandChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/channel-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    // Dispatches until `count` ids arrived or a second passed.
    void AwaitIds(std::size_t count) {
        for (int i = 0; i < 100 && m_received.size() < count; ++i) {
            m_reactor.DispatchReady(10);
        }
    }

    std::string m_folder;
    CReactor m_reactor;
    std::vector<int> m_received;
};

TEST_F(CommandChannelTest, PostedIdsArriveInOrder) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    EXPECT_EQ(Result::kDelivered,
              CCommandChannel::Post(m_folder, "NIMBREL", {32775, 32777, 57665}));
    EXPECT_EQ(Result::kDelivered, CCommandChannel::Post(m_folder, "NIMBREL", {32773}));
    AwaitIds(4);
    EXPECT_EQ(m_received, (std::vector<int>{32775, 32777, 57665, 32773}));
}

TEST_F(CommandChannelTest, LookupIgnoresLetterCase) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "Quorvin"));
    EXPECT_EQ(Result::kDelivered, CCommandChannel::Post(m_folder, "QUORVIN", {32776}));
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32776});
}

TEST_F(CommandChannelTest, NoInstanceMeansNothingIsFound) {
    EXPECT_EQ(Result::kNoInstance, CCommandChannel::Post(m_folder, "NIMBREL", {57665}));
}

TEST_F(CommandChannelTest, StaleSocketCountsAsNoInstanceAndIsReplaced) {
    {
        CCommandChannel gone(m_reactor, [](int) {});
        ASSERT_TRUE(gone.Listen(m_folder, "NIMBREL"));
    }
    // An instance that died without cleaning up leaves its socket file behind.
    ::close(SocketAt(m_folder + "/NIMBREL", Use::kBind));
    EXPECT_EQ(Result::kNoInstance, CCommandChannel::Post(m_folder, "NIMBREL", {57665}));

    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    EXPECT_EQ(Result::kDelivered, CCommandChannel::Post(m_folder, "NIMBREL", {32777}));
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32777});
}

TEST_F(CommandChannelTest, JunkLinesAreDroppedAndTheChannelKeepsWorking) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    const int fd = SocketAt(m_folder + "/NIMBREL", Use::kConnect);
    ASSERT_GE(fd, 0);
    const std::string junk = "abc\n-5\n" + std::string(100000, '7') + "\n12x\n32775\n";
    ASSERT_EQ(::write(fd, junk.data(), junk.size()), static_cast<ssize_t>(junk.size()));
    ::close(fd);
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32775});
}

TEST_F(CommandChannelTest, ClosingTheChannelRemovesItsSocket) {
    {
        CCommandChannel channel(m_reactor, [](int) {});
        ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
        EXPECT_TRUE(fs::exists(m_folder + "/NIMBREL"));
    }
    EXPECT_FALSE(fs::exists(m_folder + "/NIMBREL"));
}

TEST_F(CommandChannelTest, SecondLockOfTheSameNameFindsItTaken) {
    CInstanceLock first(m_folder, "NIMBRELLERBMIN");
    ASSERT_TRUE(first.IsValid());
    EXPECT_FALSE(first.AlreadyExisted());
    {
        CInstanceLock second(m_folder, "NIMBRELLERBMIN");
        EXPECT_TRUE(second.AlreadyExisted());
    }
    CInstanceLock other(m_folder, "OTHER");
    EXPECT_FALSE(other.AlreadyExisted());
}

TEST_F(CommandChannelTest, LockIsFreeAgainOnceItsHolderIsGone) {
    { CInstanceLock first(m_folder, "NIMBRELLERBMIN"); }
    CInstanceLock again(m_folder, "NIMBRELLERBMIN");
    EXPECT_FALSE(again.AlreadyExisted());
    EXPECT_TRUE(again.IsValid());
}

}  // namespace

namespace {

TEST_F(CommandChannelTest, TwoChannelsOnOneNameNeverRemoveEachOthersSocket) {
    auto first =
        std::make_unique<CCommandChannel>(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(first->Listen(m_folder, "QUORVIN"));
    {
        CCommandChannel second(m_reactor, [](int) {});
        EXPECT_FALSE(second.Listen(m_folder, "QUORVIN"));
        EXPECT_EQ(errno, EADDRINUSE);
    }
    EXPECT_EQ(Result::kDelivered, CCommandChannel::Post(m_folder, "QUORVIN", {32776}));
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32776});

    // Once another socket stands at the path, the first channel's end leaves it there.
    fs::remove(m_folder + "/QUORVIN");
    const int other = SocketAt(m_folder + "/QUORVIN", Use::kListen);
    ASSERT_GE(other, 0);
    first.reset();
    EXPECT_TRUE(fs::exists(m_folder + "/QUORVIN"));
    ::close(other);
}

TEST_F(CommandChannelTest, ListenerOutOfDescriptorsWaitsForOneAndLosesNothing) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    const int sender = SocketAt(m_folder + "/NIMBREL", Use::kConnect);
    ASSERT_EQ(::write(sender, "32775\n", 6), 6);
    ::close(sender);
    auto closing = std::make_unique<CAsyncSocket>();
    ASSERT_TRUE(closing->Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> taken;
    for (int fd = ::dup(0); fd >= 0; fd = ::dup(0)) {
        taken.push_back(fd);
    }
    for (int round = 0; round < 3; ++round) {
        m_reactor.DispatchReady(0);
    }
    EXPECT_TRUE(m_received.empty());
    // Nothing left for the loop to do: it does not spin on the listener meanwhile.
    pollfd loop{m_reactor.Fd(), POLLIN, 0};
    EXPECT_EQ(::poll(&loop, 1, 0), 0);
    for (const int fd : taken) {
        ::close(fd);
    }
    closing.reset();  // a socket of the loop closes: descriptors are free again
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32775});
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
}

TEST_F(CommandChannelTest, PostToAnInstanceThatTakesNoConnectionGivesUp) {
    const int stuck = SocketAt(m_folder + "/QUORVIN", Use::kListen, 0);
    const int queued =
        SocketAt(m_folder + "/QUORVIN", Use::kConnect);  // fills the queue of length 0
    ASSERT_GE(queued, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Result::kNotTaken, CCommandChannel::Post(m_folder, "QUORVIN", {32776}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ::close(queued);
    ::close(stuck);
}

// Only root can act as another user here.
TEST_F(CommandChannelTest, PeerOfAnotherUserIsIgnoredAtBothEnds) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process of another user";
    }
    ASSERT_EQ(::chmod(m_folder.c_str(), 0777), 0);
    {
        CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
        ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
        ASSERT_EQ(::chmod((m_folder + "/NIMBREL").c_str(), 0777), 0);
        EXPECT_EQ(ExitStatusOf(StartAsStranger([this] {
                      const int fd = SocketAt(m_folder + "/NIMBREL", Use::kConnect);
                      return fd >= 0 && ::write(fd, "57665\n", 6) == 6 ? 0 : 1;
                  })),
                  0);
        for (int i = 0; i < 20; ++i) {
            m_reactor.DispatchReady(10);
        }
        EXPECT_TRUE(m_received.empty());
    }

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t listener = StartAsStranger([&] {
        return SocketAt(m_folder + "/nimbrel", Use::kListen) >= 0 && ::write(ready[1], "x", 1) == 1
                   ? ::pause()
                   : 1;
    });
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(Result::kNoInstance, CCommandChannel::Post(m_folder, "NIMBREL", {57665}));
    ::kill(listener, SIGKILL);
    ExitStatusOf(listener);
    ::close(ready[0]);
}

TEST_F(CommandChannelTest, LockIsNeverTakenThroughALink) {
    fs::create_symlink(m_folder + "/elsewhere", m_folder + "/NIMBRELLERBMIN");
    CInstanceLock lock(m_folder, "NIMBRELLERBMIN");
    EXPECT_FALSE(lock.IsValid());
    EXPECT_FALSE(fs::exists(m_folder + "/elsewhere"));
}

}  // namespace
