#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "net/DatagramBatch.h"
#include "net/Reactor.h"
#include "tests/support/Dispatch.h"
#include "tests/support/LoopbackClients.h"

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// A socket that counts its notifications; as a listener, it accepts each connection.
class CProbeSocket : public CAsyncSocket {
public:
    int received = 0;
    int sendable = 0;
    int accepted = 0;
    bool leaveWaiting = false;  // the accept handler returns without Accept
    std::vector<int> connectResults;
    std::vector<std::unique_ptr<CAsyncSocket>> connections;

protected:
    void OnReceive(int) override { ++received; }
    void OnSend(int) override { ++sendable; }
    void OnConnect(int errorCode) override { connectResults.push_back(errorCode); }
    void OnAccept(int) override {
        ++accepted;
        if (leaveWaiting) {
            return;
        }
        auto connection = std::make_unique<CAsyncSocket>();
        if (Accept(*connection)) {
            connections.push_back(std::move(connection));
        }
    }
};

class AsyncSocketTest : public ::testing::Test {
protected:
    // Long enough for anything still due to arrive.
    void Settle() { kit::DispatchFor(m_reactor, 50); }

    CReactor m_reactor;
    CProbeSocket m_server;
};

// After a notification the same kind comes again only after its matching call; a read that
// leaves a datagram waiting (an empty one too) brings the next one at once. A datagram too
// long for the buffer fails and is gone.
TEST_F(AsyncSocketTest, DatagramReadNotificationComesOncePerReceiveWhileDataWaits) {
    ASSERT_TRUE(m_server.Create(0, SOCK_DGRAM, 0, kLoopback));
    const kit::CUdpClient client;
    client.Send(m_server.LocalPort(), {1, 2, 3, 4, 5});
    Settle();
    m_server.AsyncSelect(FD_READ);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 1; }));
    client.Send(m_server.LocalPort(), {});
    Settle();
    EXPECT_EQ(m_server.received, 1);
    char buffer[4];
    EXPECT_EQ(m_server.Receive(buffer, sizeof buffer), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), EMSGSIZE);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 2; }));
    EXPECT_EQ(m_server.Receive(buffer, sizeof buffer), 0);
    EXPECT_EQ(m_server.Receive(buffer, sizeof buffer), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    m_server.AsyncSelect(FD_READ);  // re-checks at once: nothing waits
    Settle();
    EXPECT_EQ(m_server.received, 2);
}

// A full batch may leave datagrams waiting, so FD_READ comes again; a short one emptied the
// queue, so only a new datagram brings it. The batch sent arrives in order.
TEST_F(AsyncSocketTest, DatagramBatchesKeepTheReadNotificationRules) {
    ASSERT_TRUE(m_server.Create(0, SOCK_DGRAM, FD_READ, kLoopback));
    const kit::CUdpClient client;
    for (std::uint8_t i = 0; i < 3; ++i) {
        client.Send(m_server.LocalPort(), {i});
    }
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 1; }));
    CDatagramBatch batch;
    EXPECT_EQ(m_server.ReceiveBatch(batch.ForReceiving(), 2), 2);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 2; }));
    EXPECT_EQ(m_server.ReceiveBatch(batch.ForReceiving(), 2), 1);
    EXPECT_EQ(*batch.Data(0), 2);
    Settle();
    EXPECT_EQ(m_server.received, 2);
    client.Send(m_server.LocalPort(), {});
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 3; }));

    CDatagramBatch replies;
    const std::uint8_t bytes[] = {7, 8};
    ASSERT_TRUE(replies.Add(batch.Address(0), &bytes[0], 1));
    ASSERT_TRUE(replies.Add(batch.Address(0), &bytes[1], 1));
    EXPECT_EQ(m_server.SendBatch(replies.Messages(), replies.Count()), 2);
    EXPECT_EQ(client.Receive(1000), kit::Bytes{7});
    EXPECT_EQ(client.Receive(1000), kit::Bytes{8});
}

// A datagram socket opened to read hears of room to send once it selects FD_WRITE.
TEST_F(AsyncSocketTest, DatagramSocketHearsOfRoomToSendOnceItAsks) {
    ASSERT_TRUE(m_server.Create(0, SOCK_DGRAM, FD_READ, kLoopback));
    const kit::CUdpClient client;
    client.Send(m_server.LocalPort(), {1});
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.received == 1; }));
    m_server.AsyncSelect(FD_READ | FD_WRITE);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.sendable == 1; }));
}

// A handler that does not accept is not told again until it re-selects; then each waiting
// connection is announced once, in order, and announced for nothing else.
TEST_F(AsyncSocketTest, EachWaitingConnectionIsAnnouncedOnce) {
    ASSERT_TRUE(m_server.Create(0, SOCK_STREAM, FD_ACCEPT, kLoopback));
    ASSERT_TRUE(m_server.Listen(5));
    m_server.leaveWaiting = true;
    std::vector<std::unique_ptr<kit::CTcpClient>> clients;
    for (const char* data : {"1", "2", "3"}) {
        clients.push_back(std::make_unique<kit::CTcpClient>(m_server.LocalPort()));
        clients.back()->SendSome(data);
        ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.accepted == 1; }));
    }
    Settle();
    EXPECT_EQ(m_server.accepted, 1);
    m_server.leaveWaiting = false;
    m_server.AsyncSelect(FD_ACCEPT);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.connections.size() == 3; }));
    Settle();
    EXPECT_EQ(m_server.accepted, 4);
    for (std::size_t i = 0; i < 3; ++i) {
        char byte = 0;
        EXPECT_EQ(m_server.connections[i]->Receive(&byte, 1), 1);
        EXPECT_EQ(byte, '1' + static_cast<int>(i));
    }
}

// A connect reports its outcome once through FD_CONNECT, and a made connection carries data.
TEST_F(AsyncSocketTest, ConnectReportsItsOutcomeOnce) {
    ASSERT_TRUE(m_server.Create(0, SOCK_STREAM, FD_ACCEPT, kLoopback));
    ASSERT_TRUE(m_server.Listen(5));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<std::uint16_t>(m_server.LocalPort()));
    CProbeSocket client;
    ASSERT_TRUE(client.Create(0, SOCK_STREAM, FD_CONNECT | FD_READ, kLoopback));
    client.Connect(to);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return m_server.connections.size() == 1; }));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return !client.connectResults.empty(); }));
    EXPECT_EQ(m_server.connections[0]->Send("x", 1), 1);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return client.received == 1; }));

    // Nothing listens on the port any more.
    m_server.Close();
    CProbeSocket refused;
    ASSERT_TRUE(refused.Create(0, SOCK_STREAM, FD_CONNECT | FD_READ, kLoopback));
    EXPECT_FALSE(refused.Connect(to));
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return !refused.connectResults.empty(); }));
    Settle();
    EXPECT_EQ(client.connectResults, std::vector<int>{0});
    EXPECT_EQ(refused.connectResults, std::vector<int>{ECONNREFUSED});
    EXPECT_EQ(refused.received, 0);
}

}  // namespace
