#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "tests/net/NetTestSupport.h"

namespace {

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kBacklog = 5;

// A listener whose OnAccept takes each connection into a new probe socket.
class StreamTest : public NetTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_listener.Create(0, SOCK_STREAM, FD_ACCEPT, kLoopback));
        ASSERT_EQ(::listen(m_listener.Handle(), kBacklog), 0);
        m_listener.onAccept = [this](CProbeSocket& listener) {
            auto connection = std::make_unique<CProbeSocket>();
            if (listener.Accept(*connection)) {
                connection->AsyncSelect(m_connectionEvents);
                m_connections.push_back(std::move(connection));
            } else {
                m_acceptErrors.push_back(WSAGetLastError());
            }
        };
    }

    CProbeSocket& AcceptOne() {
        std::size_t before = m_connections.size();
        DispatchUntil([&] { return m_connections.size() > before; });
        return *m_connections.back();
    }

    long m_connectionEvents = FD_READ | FD_CLOSE;
    CProbeSocket m_listener;
    std::vector<std::unique_ptr<CProbeSocket>> m_connections;
    std::vector<int> m_acceptErrors;
};

TEST_F(StreamTest, AcceptedConnectionReceivesDataAndOneCloseNotification) {
    CLoopbackClient client(m_listener.LocalPort());
    ASSERT_TRUE(client.IsConnected());
    CProbeSocket& connection = AcceptOne();
    std::string request;
    connection.onReceive = [&](CProbeSocket& socket) {
        char buffer[1024];
        int count = socket.Receive(buffer, sizeof buffer);
        if (count > 0) {
            request.append(buffer, static_cast<std::size_t>(count));
        }
    };
    client.SendText("GET / HTTP/1.0\r\n\r\n");
    DispatchUntil([&] { return request.size() == 18; });
    client.Close();
    DispatchUntil([&] { return connection.closed == 1; });
    DispatchPending();
    EXPECT_EQ(connection.closed, 1);
    EXPECT_EQ(connection.lastError, 0);
    char buffer[16];
    EXPECT_EQ(connection.Receive(buffer, sizeof buffer), 0);
}

TEST_F(StreamTest, AcceptedConnectionKnowsItsPeerUntilClosed) {
    CLoopbackClient client(m_listener.LocalPort());
    CProbeSocket& connection = AcceptOne();
    sockaddr_in local{};
    socklen_t size = sizeof local;
    ASSERT_EQ(::getsockname(client.Fd(), reinterpret_cast<sockaddr*>(&local), &size), 0);
    std::string address;
    unsigned port = 0;
    ASSERT_TRUE(connection.GetPeerName(address, port));
    EXPECT_EQ(address, kLoopback);
    EXPECT_EQ(port, ntohs(local.sin_port));
    connection.Close();
    EXPECT_FALSE(connection.GetPeerName(address, port));
    EXPECT_FALSE(m_listener.GetPeerName(address, port));  // a listener has no peer
}

TEST_F(StreamTest, ResetByPeerIsReportedAsCloseWithItsError) {
    CLoopbackClient client(m_listener.LocalPort());
    CProbeSocket& connection = AcceptOne();
    client.Abort();
    DispatchUntil([&] { return connection.closed == 1; });
    EXPECT_EQ(connection.lastError, ECONNRESET);
}

TEST_F(StreamTest, ReadLeavingDataWaitingIsFollowedByAnotherNotification) {
    CLoopbackClient client(m_listener.LocalPort());
    CProbeSocket& connection = AcceptOne();
    std::string request;
    connection.onReceive = [&](CProbeSocket& socket) {
        char buffer[4];
        int count = socket.Receive(buffer, sizeof buffer);
        if (count > 0) {
            request.append(buffer, static_cast<std::size_t>(count));
        }
    };
    client.SendText("0123456789");
    DispatchUntil([&] { return request == "0123456789"; });
    int notifications = connection.received;
    DispatchPending();
    EXPECT_EQ(connection.received, notifications);
}

TEST_F(StreamTest, EachWaitingConnectionIsAnnouncedOnce) {
    CLoopbackClient first(m_listener.LocalPort());
    CLoopbackClient second(m_listener.LocalPort());
    DispatchUntil([&] { return m_connections.size() == 2; });
    DispatchPending();
    EXPECT_EQ(m_listener.accepted, 2);
    EXPECT_TRUE(m_acceptErrors.empty());
}

TEST_F(StreamTest, FullSendBufferRearmsWriteNotification) {
    m_connectionEvents = FD_WRITE | FD_CLOSE;
    CLoopbackClient client(m_listener.LocalPort());
    CProbeSocket& connection = AcceptOne();
    DispatchUntil([&] { return connection.sent == 1; });
    const std::vector<char> chunk(64 * 1024, 'g');
    int total = 0;
    int result;
    while ((result = connection.Send(chunk.data(), static_cast<int>(chunk.size()))) > 0) {
        total += result;
    }
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    DispatchPending();
    EXPECT_EQ(connection.sent, 1);

    connection.onSend = [](CProbeSocket& socket) { socket.Close(); };
    char sink[64 * 1024];
    int drained = 0;
    while (connection.sent == 1) {
        ssize_t count = ::recv(client.Fd(), sink, sizeof sink, MSG_DONTWAIT);
        drained += count > 0 ? static_cast<int>(count) : 0;
        m_reactor.DispatchReady(count > 0 ? 0 : 20);
    }
    EXPECT_EQ(connection.sent, 2);
    EXPECT_GT(drained, 0);
    EXPECT_EQ(static_cast<std::size_t>(total - drained), client.ReadAll().size());
}

TEST_F(StreamTest, SendToClosedPeerFailsWithoutSignal) {
    CLoopbackClient client(m_listener.LocalPort());
    CProbeSocket& connection = AcceptOne();
    client.Abort();
    DispatchUntil([&] { return connection.closed == 1; });
    const char byte = 'x';
    int result = 0;
    for (int attempt = 0; attempt < 3 && result != SOCKET_ERROR; ++attempt) {
        result = connection.Send(&byte, 1);
    }
    EXPECT_EQ(result, SOCKET_ERROR);
    EXPECT_NE(WSAGetLastError(), WSAEWOULDBLOCK);
}

TEST_F(StreamTest, AcceptOutOfDescriptorsHoldsAcceptUntilASocketCloses) {
    // One connection runs the whole path first, so that nothing the test itself runs needs
    // a descriptor for the first time once they are all taken.
    CLoopbackClient warmUp(m_listener.LocalPort());
    AcceptOne();
    DispatchPending();
    CAsyncSocket spare;
    ASSERT_TRUE(spare.Create(0, SOCK_DGRAM, 0, kLoopback));
    CLoopbackClient client(m_listener.LocalPort());
    ASSERT_TRUE(client.IsConnected());

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    int highest = ::dup(0);
    ASSERT_GE(highest, 0);
    ::close(highest);
    rlimit lowered = saved;
    lowered.rlim_cur = static_cast<rlim_t>(highest);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> fillers;
    for (int fd; (fd = ::dup(0)) >= 0;) {
        fillers.push_back(fd);
    }

    DispatchUntil([&] { return m_listener.accepted == 2; });
    DispatchPending();
    EXPECT_EQ(m_listener.accepted, 2);
    EXPECT_EQ(m_acceptErrors, std::vector<int>{EMFILE});

    spare.Close();
    DispatchUntil([&] { return m_connections.size() == 2; });
    EXPECT_EQ(m_listener.accepted, 3);

    for (int fd : fillers) {
        ::close(fd);
    }
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
}

struct PortClash {
    const char* name;
    int type;
    bool listen;
};

class CreateOnBusyPortTest : public NetTest, public ::testing::WithParamInterface<PortClash> {};

TEST_P(CreateOnBusyPortTest, FailsWithAddressInUseAndStaysUnopened) {
    const PortClash& clash = GetParam();
    CAsyncSocket holder;
    ASSERT_TRUE(holder.Create(0, clash.type, 0, kLoopback));
    if (clash.listen) {
        ASSERT_EQ(::listen(holder.Handle(), kBacklog), 0);
    }
    CAsyncSocket second;
    EXPECT_FALSE(second.Create(holder.LocalPort(), clash.type, 0, kLoopback));
    EXPECT_EQ(WSAGetLastError(), EADDRINUSE);
    EXPECT_EQ(second.Handle(), INVALID_SOCKET);
    EXPECT_EQ(second.LocalPort(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Types, CreateOnBusyPortTest,
                         ::testing::Values(PortClash{"Datagram", SOCK_DGRAM, false},
                                           PortClash{"Listener", SOCK_STREAM, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class CreateWithBadAddressTest : public NetTest,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(CreateWithBadAddressTest, FailsWithInvalidArgument) {
    CAsyncSocket socket;
    EXPECT_FALSE(socket.Create(0, SOCK_DGRAM, FD_READ, GetParam()));
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    EXPECT_EQ(socket.Handle(), INVALID_SOCKET);
}

INSTANTIATE_TEST_SUITE_P(Addresses, CreateWithBadAddressTest,
                         ::testing::Values("localhost", "127.0.0.256", "1.2.3", "127.0.0.1 "));

}  // namespace
