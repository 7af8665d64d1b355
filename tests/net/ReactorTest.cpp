#include "net/Reactor.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "net/AsyncSocket.h"
#include "net/UniqueFd.h"
#include "tests/support/Dispatch.h"

namespace {

// Counts the notifications that there is room to send.
class CSendCounter : public CAsyncSocket {
public:
    int sent = 0;

protected:
    void OnSend(int) override { ++sent; }
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
    ASSERT_TRUE(socket.Create(0, SOCK_DGRAM, 0, "127.0.0.1"));
    dispatchWhileReadable();
    socket.AsyncSelect(FD_WRITE);
    dispatchWhileReadable();
    EXPECT_EQ(socket.sent, 1);
}

TEST(ReactorTest, WatchedDescriptorIsCalledWhileReadableUntilUnwatched) {
    CReactor reactor;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const CUniqueFd readEnd(fds[0]);
    const CUniqueFd writeEnd(fds[1]);
    EXPECT_FALSE(reactor.WatchReadable(-1, [] {}));
    int calls = 0;
    ASSERT_TRUE(reactor.WatchReadable(fds[0], [&] {
        ++calls;
        char byte;
        ASSERT_EQ(::read(fds[0], &byte, 1), 1);
    }));
    reactor.DispatchReady(0);
    EXPECT_EQ(calls, 0);
    ASSERT_EQ(::write(fds[1], "ab", 2), 2);
    reactor.DispatchReady(100);
    reactor.DispatchReady(100);
    EXPECT_EQ(calls, 2);
    reactor.Unwatch(fds[0]);
    ASSERT_EQ(::write(fds[1], "c", 1), 1);
    EXPECT_FALSE(IsReadable(reactor.Fd(), 50));
    EXPECT_EQ(calls, 2);
}

}  // namespace
