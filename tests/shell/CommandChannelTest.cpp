#include "shell/CommandChannel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "net/Reactor.h"
#include "shell/InstanceLock.h"

namespace fs = std::filesystem;

namespace {

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
    EXPECT_TRUE(CCommandChannel::Post(m_folder, "NIMBREL", {32775, 32777, 57665}));
    EXPECT_TRUE(CCommandChannel::Post(m_folder, "NIMBREL", {32773}));
    AwaitIds(4);
    EXPECT_EQ(m_received, (std::vector<int>{32775, 32777, 57665, 32773}));
}

TEST_F(CommandChannelTest, LookupIgnoresLetterCase) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "Quorvin"));
    EXPECT_TRUE(CCommandChannel::Post(m_folder, "QUORVIN", {32776}));
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32776});
}

TEST_F(CommandChannelTest, NoInstanceMeansNothingIsFound) {
    EXPECT_FALSE(CCommandChannel::Post(m_folder, "NIMBREL", {57665}));
}

TEST_F(CommandChannelTest, StaleSocketCountsAsNoInstanceAndIsReplaced) {
    {
        CCommandChannel gone(m_reactor, [](int) {});
        ASSERT_TRUE(gone.Listen(m_folder, "NIMBREL"));
    }
    // An instance that died without cleaning up leaves its socket file behind.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = m_folder + "/NIMBREL";
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    EXPECT_FALSE(CCommandChannel::Post(m_folder, "NIMBREL", {57665}));

    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    EXPECT_TRUE(CCommandChannel::Post(m_folder, "NIMBREL", {32777}));
    AwaitIds(1);
    EXPECT_EQ(m_received, std::vector<int>{32777});
}

TEST_F(CommandChannelTest, JunkLinesAreDroppedAndTheChannelKeepsWorking) {
    CCommandChannel channel(m_reactor, [this](int id) { m_received.push_back(id); });
    ASSERT_TRUE(channel.Listen(m_folder, "NIMBREL"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = m_folder + "/NIMBREL";
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
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
