#include "net/Reactor.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "base/UniqueFd.h"
#include "net/AsyncSocket.h"
#include "tests/support/Dispatch.h"
#include "tests/support/LoopbackClients.h"

namespace {

// Counts the notifications that there is room to send, and reads each datagram.
class CSendCounter : public CAsyncSocket {
public:
    int sent = 0;
    int received = 0;

protected:
    void OnSend(int) override { ++sent; }
    void OnReceive(int) override {
        char byte;
        received += Receive(&byte, 1) == 1;
    }
};

bool IsReadable(int fd, int timeoutMs = 0) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}

// An outside loop (Qt's) dispatches only while Fd() is readable: every kind of pending
// work must keep it readable, and none may leave it so. Timers run in deadline order, a
// stopped one never.
TEST(ReactorTest, LoopThatDispatchesOnlyWhileFdIsReadableGetsEveryPostTimerAndSocket) {
    CReactor reactor;
    EXPECT_FALSE(reactor.WatchReadable(-1, [] {}));
    const auto dispatchWhileReadable = [&] {
        for (int round = 0; round < 10; ++round) {
            if (IsReadable(reactor.Fd(), 20)) {
                reactor.DispatchReady(0);
            }
        }
    };
    std::vector<int> order;
    reactor.StartTimer(40, [&] { order.push_back(3); });
    const CReactor::TimerId stopped = reactor.StartTimer(10, [&] { order.push_back(0); });
    reactor.StartTimer(20, [&] {
        order.push_back(1);
        reactor.StartTimer(0, [&] { order.push_back(2); });
    });
    reactor.StopTimer(stopped);
    reactor.Post([&] { order.push_back(0); });
    EXPECT_TRUE(IsReadable(reactor.Fd()));
    dispatchWhileReadable();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(IsReadable(reactor.Fd()));

    CSendCounter socket;
    ASSERT_TRUE(socket.Create(0, SOCK_DGRAM, FD_READ, "127.0.0.1"));
    dispatchWhileReadable();
    socket.AsyncSelect(FD_WRITE | FD_READ);
    dispatchWhileReadable();
    EXPECT_EQ(socket.sent, 1);

    // A modal dialog opened by a posted command runs its own loop inside the outer
    // dispatch, where every datagram must still come through.
    const kit::CUdpClient client;
    reactor.Post([&] {
        for (int i = 0; i < 5; ++i) {
            client.Send(socket.LocalPort(), {1});
        }
        dispatchWhileReadable();
    });
    reactor.DispatchReady(0);
    EXPECT_EQ(socket.received, 5);
}

}  // namespace
