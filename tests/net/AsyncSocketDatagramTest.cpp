#include <cerrno>
#include <memory>
#include <string>

#include "tests/net/NetTestSupport.h"

namespace {

constexpr const char* kLoopback = "127.0.0.1";

class DatagramTest : public NetTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Create(0, SOCK_DGRAM, FD_READ, kLoopback));
        ASSERT_TRUE(m_client.Create(0, SOCK_DGRAM, 0, kLoopback));
    }

    void SendToServer(const std::string& payload) {
        ASSERT_EQ(m_client.SendTo(payload.data(), static_cast<int>(payload.size()),
                                  m_server.LocalPort(), kLoopback),
                  static_cast<int>(payload.size()));
    }

    // Reads one datagram and returns its length (or -1).
    static int ReadOne(CAsyncSocket& socket) {
        char buffer[512];
        return socket.Receive(buffer, sizeof buffer);
    }

    CProbeSocket m_server;
    CProbeSocket m_client;
};

TEST_F(DatagramTest, EachDatagramIsAnnouncedWhileOneIsReadPerNotification) {
    m_server.onReceive = [](CProbeSocket& socket) { ReadOne(socket); };
    SendToServer("one");
    SendToServer("two");
    SendToServer("three");
    DispatchUntil([&] { return m_server.received == 3; });
    DispatchPending();
    EXPECT_EQ(m_server.received, 3);
    EXPECT_EQ(m_server.lastError, 0);
}

TEST_F(DatagramTest, NoFurtherReadNotificationUntilReceiveIsCalled) {
    SendToServer("one");
    DispatchUntil([&] { return m_server.received == 1; });
    SendToServer("two");
    DispatchPending();
    EXPECT_EQ(m_server.received, 1);

    EXPECT_EQ(ReadOne(m_server), 3);
    DispatchUntil([&] { return m_server.received == 2; });
}

TEST_F(DatagramTest, EmptyDatagramReachesHandlerAndDoesNotStallTheSocket) {
    std::vector<int> lengths;
    m_server.onReceive = [&](CProbeSocket& socket) { lengths.push_back(ReadOne(socket)); };
    SendToServer("");
    DispatchUntil([&] { return m_server.received == 1; });
    SendToServer("next");
    DispatchUntil([&] { return m_server.received == 2; });
    DispatchPending();
    EXPECT_EQ(lengths, (std::vector<int>{0, 4}));
}

TEST_F(DatagramTest, ReadNotificationWithNothingWaitingIsDropped) {
    SendToServer("x");
    DispatchUntil([&] { return m_server.received == 1; });
    EXPECT_EQ(ReadOne(m_server), 1);
    // Re-selecting re-checks at once: with nothing waiting, no OnReceive follows.
    m_server.AsyncSelect(FD_READ);
    DispatchPending();
    EXPECT_EQ(m_server.received, 1);
}

TEST_F(DatagramTest, ReceiveWithNothingWaitingWouldBlock) {
    char buffer[16];
    EXPECT_EQ(m_server.Receive(buffer, sizeof buffer), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
}

TEST_F(DatagramTest, DatagramLongerThanBufferFailsAndIsConsumed) {
    SendToServer("0123456789");
    SendToServer("ok");
    char small[4];
    std::string address;
    unsigned port = 0;
    EXPECT_EQ(m_server.ReceiveFrom(small, sizeof small, address, port), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), EMSGSIZE);
    EXPECT_EQ(m_server.ReceiveFrom(small, sizeof small, address, port), 2);
    EXPECT_EQ(std::string(small, 2), "ok");
}

TEST_F(DatagramTest, ReceiveFromReportsTheSender) {
    SendToServer("hello");
    char buffer[16];
    std::string address;
    unsigned port = 0;
    EXPECT_EQ(m_server.ReceiveFrom(buffer, sizeof buffer, address, port), 5);
    EXPECT_EQ(address, kLoopback);
    EXPECT_EQ(port, m_client.LocalPort());
}

TEST_F(DatagramTest, SendToTakesOnlyDottedAddresses) {
    // A name would have to be looked up, which the loop's thread never waits for.
    EXPECT_EQ(m_client.SendTo("x", 1, m_server.LocalPort(), "localhost"), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST_F(DatagramTest, AsyncSelectOnWritableSocketGivesOneSendNotification) {
    m_client.AsyncSelect(FD_WRITE);
    DispatchUntil([&] { return m_client.sent == 1; });
    DispatchPending();
    EXPECT_EQ(m_client.sent, 1);
    m_client.AsyncSelect(FD_WRITE);
    DispatchUntil([&] { return m_client.sent == 2; });
}

TEST_F(DatagramTest, SelectingNoEventsStopsNotifications) {
    m_server.AsyncSelect(0);
    SendToServer("quiet");
    DispatchPending();
    EXPECT_EQ(m_server.received, 0);
    m_server.AsyncSelect(FD_READ);
    DispatchUntil([&] { return m_server.received == 1; });
}

TEST_F(DatagramTest, SocketDeletedInHandlerGetsNothingEvenWhenItsNumberIsReused) {
    // Both sockets have data waiting in the same pass; whichever is served first deletes
    // the other and opens a new socket that takes over the freed descriptor number.
    auto first = std::make_unique<CProbeSocket>();
    auto second = std::make_unique<CProbeSocket>();
    ASSERT_TRUE(first->Create(0, SOCK_DGRAM, FD_READ, kLoopback));
    ASSERT_TRUE(second->Create(0, SOCK_DGRAM, FD_READ, kLoopback));
    CProbeSocket* victims[] = {first.get(), second.get()};
    std::unique_ptr<CProbeSocket>* owners[] = {&first, &second};
    CProbeSocket successor;
    int reusedNumber = INVALID_SOCKET;
    int served = 0;
    for (int i = 0; i < 2; ++i) {
        victims[i]->onReceive = [&, other = 1 - i](CProbeSocket&) {
            ++served;
            int number = victims[other]->Handle();
            owners[other]->reset();
            ASSERT_TRUE(successor.Create(0, SOCK_DGRAM, FD_READ, kLoopback));
            reusedNumber = number == successor.Handle() ? number : INVALID_SOCKET;
        };
    }
    for (CProbeSocket* victim : victims) {
        ASSERT_EQ(m_client.SendTo("x", 1, victim->LocalPort(), kLoopback), 1);
    }
    DispatchUntil([&] { return served == 1; });
    DispatchPending();
    EXPECT_EQ(served, 1);
    EXPECT_NE(reusedNumber, INVALID_SOCKET);
    EXPECT_EQ(successor.received, 0);
    ASSERT_EQ(m_client.SendTo("y", 1, successor.LocalPort(), kLoopback), 1);
    DispatchUntil([&] { return successor.received == 1; });
}

TEST_F(DatagramTest, SocketClosedInHandlerGetsNoQueuedNotification) {
    m_server.AsyncSelect(FD_READ | FD_WRITE);
    m_server.onReceive = [](CProbeSocket& socket) { socket.Close(); };
    SendToServer("bye");
    DispatchUntil([&] { return m_server.received == 1; });
    DispatchPending();
    EXPECT_EQ(m_server.sent, 0);
    EXPECT_EQ(m_server.Handle(), INVALID_SOCKET);
    m_server.Close();
}

TEST_F(DatagramTest, DispatchMayBeReenteredFromAHandler) {
    CProbeSocket other;
    ASSERT_TRUE(other.Create(0, SOCK_DGRAM, FD_READ, kLoopback));
    other.onReceive = [](CProbeSocket& socket) { ReadOne(socket); };
    int nestedRounds = 0;
    m_server.onReceive = [&](CProbeSocket& socket) {
        ReadOne(socket);
        ASSERT_EQ(m_client.SendTo("n", 1, other.LocalPort(), kLoopback), 1);
        for (int i = 0; i < 50 && other.received == 0; ++i, ++nestedRounds) {
            m_reactor.DispatchReady(20);
        }
    };
    SendToServer("outer");
    DispatchUntil([&] { return m_server.received == 1; });
    EXPECT_EQ(other.received, 1);
    EXPECT_GT(nestedRounds, 0);
    DispatchPending();
    EXPECT_EQ(m_server.received, 1);
    EXPECT_EQ(other.received, 1);
}

TEST_F(DatagramTest, EmptyOrNullAddressBindsAllInterfaces) {
    CAsyncSocket any;
    EXPECT_TRUE(any.Create(0, SOCK_DGRAM, FD_READ, ""));
    EXPECT_NE(any.LocalPort(), 0u);
}

}  // namespace
