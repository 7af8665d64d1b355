#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/NetTestSupport.h"

namespace {

using ReactorTest = NetTest;

bool IsReadable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1;
}

TEST_F(ReactorTest, ConstructorMakesItTheThreadsReactor) {
    EXPECT_TRUE(m_reactor.IsValid());
    EXPECT_EQ(CReactor::Current(), &m_reactor);
}

TEST_F(ReactorTest, ThreadWithoutReactorCannotCreateSockets) {
    bool created = true;
    int error = 0;
    std::thread([&] {
        CAsyncSocket socket;
        created = socket.Create(0, SOCK_DGRAM);
        error = WSAGetLastError();
    }).join();
    EXPECT_FALSE(created);
    EXPECT_EQ(error, WSANOTINITIALISED);
}

TEST_F(ReactorTest, PostedCommandsRunInOrderAndRunEndsAtQuit) {
    std::vector<int> order;
    m_reactor.Post([&] { order.push_back(1); });
    m_reactor.Post([&] {
        order.push_back(2);
        m_reactor.Post([&] {
            order.push_back(3);
            m_reactor.Quit();
        });
    });
    m_reactor.Run();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(ReactorTest, PendingWorkMakesTheDescriptorReadable) {
    m_reactor.DispatchReady(0);
    EXPECT_FALSE(IsReadable(m_reactor.Fd()));
    bool ran = false;
    m_reactor.Post([&] { ran = true; });
    EXPECT_TRUE(IsReadable(m_reactor.Fd()));
    m_reactor.DispatchReady(0);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(IsReadable(m_reactor.Fd()));

    CProbeSocket socket;
    ASSERT_TRUE(socket.Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    DispatchPending();
    socket.AsyncSelect(FD_WRITE);
    EXPECT_TRUE(IsReadable(m_reactor.Fd()));
    m_reactor.DispatchReady(0);
    EXPECT_EQ(socket.sent, 1);
}

TEST_F(ReactorTest, PostedCommandWaitsUntilSocketHandlerReturns) {
    CProbeSocket socket;
    ASSERT_TRUE(socket.Create(0, SOCK_DGRAM, FD_WRITE, "127.0.0.1"));
    bool inHandler = false;
    bool ranInHandler = false;
    bool ran = false;
    socket.onSend = [&](CProbeSocket&) {
        inHandler = true;
        m_reactor.Post([&] {
            ran = true;
            ranInHandler = inHandler;
        });
        m_reactor.DispatchReady(0);
        inHandler = false;
    };
    DispatchUntil([&] { return ran; });
    EXPECT_FALSE(ranInHandler);
}

TEST_F(ReactorTest, SignalArrivesAsPostedCommand) {
    int signals = 0;
    ASSERT_TRUE(m_reactor.PostOnSignal(SIGUSR1, [&] { ++signals; }));
    ASSERT_EQ(::raise(SIGUSR1), 0);
    DispatchUntil([&] { return signals == 1; });
}

}  // namespace

namespace {

TEST_F(ReactorTest, WatchedDescriptorRunsItsCallbackWhileReadableAndUntilUnwatched) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int calls = 0;
    ASSERT_TRUE(m_reactor.WatchReadable(fds[0], [&] {
        ++calls;
        char byte;
        ASSERT_EQ(::read(fds[0], &byte, 1), 1);
    }));
    m_reactor.DispatchReady(0);
    EXPECT_EQ(calls, 0);
    ASSERT_EQ(::write(fds[1], "ab", 2), 2);
    m_reactor.DispatchReady(100);
    m_reactor.DispatchReady(100);
    EXPECT_EQ(calls, 2);

    m_reactor.Unwatch(fds[0]);
    ASSERT_EQ(::write(fds[1], "c", 1), 1);
    m_reactor.DispatchReady(50);
    EXPECT_EQ(calls, 2);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(ReactorTest, HeldWatchWaitsForADescriptorToBeFreed) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int calls = 0;
    // Stands in for a listener whose accept finds no free descriptor: still readable.
    ASSERT_TRUE(m_reactor.WatchReadable(fds[0], [&] {
        ++calls;
        m_reactor.HoldWatchUntilDescriptorFree(fds[0]);
    }));
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    for (int round = 0; round < 100; ++round) {
        m_reactor.DispatchReady(0);
    }
    EXPECT_EQ(calls, 1);
    auto socket = std::make_unique<CProbeSocket>();
    ASSERT_TRUE(socket->Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    socket.reset();
    m_reactor.DispatchReady(100);
    EXPECT_EQ(calls, 2);
    m_reactor.Unwatch(fds[0]);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(ReactorTest, CallbackThatUnwatchesItselfGetsNothingMore) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int calls = 0;
    ASSERT_TRUE(m_reactor.WatchReadable(fds[0], [&] {
        ++calls;
        m_reactor.Unwatch(fds[0]);
    }));
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    m_reactor.DispatchReady(100);
    m_reactor.DispatchReady(20);
    EXPECT_EQ(calls, 1);
    ::close(fds[0]);
    ::close(fds[1]);
}

}  // namespace

namespace {

// Dispatches the way Qt's loop does: only when the reactor's descriptor is readable.
void DispatchWhileReadable(CReactor& reactor, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        pollfd entry{reactor.Fd(), POLLIN, 0};
        if (::poll(&entry, 1, 20) == 1) {
            reactor.DispatchReady(0);
        }
    }
}

TEST_F(ReactorTest, NestedLoopOfAPostedCommandKeepsHandlingEveryDatagram) {
    constexpr int kDatagrams = 5;
    CProbeSocket server;
    CProbeSocket client;
    ASSERT_TRUE(server.Create(0, SOCK_DGRAM, FD_READ, "127.0.0.1"));
    ASSERT_TRUE(client.Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    server.onReceive = [](CProbeSocket& socket) {
        char byte;
        socket.Receive(&byte, 1);
    };
    bool modalDone = false;
    // A modal dialog opened by a posted command runs its own loop inside the outer dispatch.
    m_reactor.Post([&] {
        for (int i = 0; i < kDatagrams; ++i) {
            ASSERT_EQ(client.SendTo("x", 1, server.LocalPort(), "127.0.0.1"), 1);
        }
        DispatchWhileReadable(m_reactor, 50);
        modalDone = true;
    });
    DispatchWhileReadable(m_reactor, 1);
    EXPECT_TRUE(modalDone);
    EXPECT_EQ(server.received, kDatagrams);
}

TEST_F(ReactorTest, TimersRunInDeadlineOrderAndAStoppedOneNever) {
    std::vector<int> order;
    m_reactor.StartTimer(40, [&] { order.push_back(3); });
    const CReactor::TimerId stopped = m_reactor.StartTimer(10, [&] { order.push_back(0); });
    m_reactor.StartTimer(20, [&] {
        order.push_back(1);
        m_reactor.StartTimer(0, [&] { order.push_back(2); });
    });
    m_reactor.StopTimer(stopped);
    // Only the timer's own readiness wakes the loop.
    DispatchWhileReadable(m_reactor, 10);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    m_reactor.StopTimer(stopped);
}

}  // namespace
