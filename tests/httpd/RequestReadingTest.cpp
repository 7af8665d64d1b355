#include <string>

#include "ImageServerFixture.h"
#include "httpd/RequestSocket.h"

namespace {

constexpr std::size_t kBufferSize = 1024;
constexpr int kMaxReceives = 32;

using RequestReadingTest = ImageServerFixture;

TEST_F(RequestReadingTest, RequestFillingTheBufferWaitsForMoreData) {
    SetImagesSetting(0);
    TestClient client(Port());
    SendAll(client, std::string(kBufferSize, 'x'));
    ASSERT_TRUE(DispatchUntil([&] { return m_host.raised > 0; }));
    DispatchFor(50);
    client.ReadAvailable();
    EXPECT_TRUE(client.Received().empty());
    EXPECT_FALSE(client.Ended());

    SendAll(client, "\r\n");
    ASSERT_TRUE(ReadToEnd(client));
    EXPECT_EQ(client.Received().size(), 89u);
}

// A request is read 1024 bytes at a time until a receive returns less; the 32nd full
// receive ends the connection without a reply.
class RequestLengthTest : public ImageServerFixture, public ::testing::WithParamInterface<int> {};

TEST_P(RequestLengthTest, RequestStillFillingTheBufferAtTheLimitIsCutOff) {
    const int fullReceives = GetParam();
    SetImagesSetting(0);
    TestClient client(Port());
    std::string request(static_cast<std::size_t>(fullReceives) * kBufferSize, 'x');
    if (fullReceives < kMaxReceives) {
        request += "\r\n";
    }
    SendAll(client, request);
    ASSERT_TRUE(ReadToEnd(client));
    if (fullReceives < kMaxReceives) {
        EXPECT_EQ(client.Received().size(), 89u);
    } else {
        EXPECT_TRUE(client.Received().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(FullReceives, RequestLengthTest,
                         ::testing::Values(0, 1, kMaxReceives - 1, kMaxReceives));

TEST_F(RequestReadingTest, PeerOtherThanLocalHostIsClosedWithoutReply) {
    SetImagesSetting(0);
    TestClient stranger(Port(), {.fromAddress = "127.0.0.2"});
    ASSERT_TRUE(stranger.IsConnected());
    SendAll(stranger, "GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(ReadToEnd(stranger));
    EXPECT_TRUE(stranger.Received().empty());
    EXPECT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 0; }));
    EXPECT_EQ(Fetch().size(), 89u);
}

enum class ClosingPoint { kBeforeRequest, kAfterRequest, kDuringReply };

class EarlyCloseTest : public ImageServerFixture,
                       public ::testing::WithParamInterface<ClosingPoint> {};

TEST_P(EarlyCloseTest, ClientClosingEarlyReleasesItsConnection) {
    WriteImage(5, std::string(4 << 20, 'p'));
    {
        TestClient client(Port(), {.receiveBuffer = 4096});
        ASSERT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 1; }));
        if (GetParam() != ClosingPoint::kBeforeRequest) {
            SendAll(client, "GET / HTTP/1.0\r\n\r\n");
        }
        if (GetParam() == ClosingPoint::kDuringReply) {
            ASSERT_TRUE(DispatchUntil([&] {
                client.ReadAvailable();
                return client.Received().size() > 100000;
            }));
        }
    }
    EXPECT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 0; }));
    EXPECT_FALSE(m_host.activity);
    SetImagesSetting(0);
    EXPECT_EQ(Fetch().size(), 89u);
}

INSTANTIATE_TEST_SUITE_P(Points, EarlyCloseTest,
                         ::testing::Values(ClosingPoint::kBeforeRequest,
                                           ClosingPoint::kAfterRequest,
                                           ClosingPoint::kDuringReply));

// Data that follows the request (a body, a pipelined request) arrives while the reply is
// being sent. It must neither disturb the prepared reply nor, left unread, turn the final
// close into a reset that throws away the end of the reply still queued for the client.
TEST_F(RequestReadingTest, DataArrivingWhileSendingLeavesTheReplyIntact) {
    std::string picture;
    for (int i = 0; picture.size() < 300000; ++i) {
        picture += std::to_string(i) + ',';
    }
    WriteImage(5, picture);
    TestClient client(Port(), {.receiveBuffer = 4096});
    SendAll(client, "GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(DispatchUntil([&] {
        client.ReadAvailable(300);
        return client.Received().size() >= kSuccessHeader.size();
    }));
    SendAll(client, "more request data that nobody asked for\r\n");
    ASSERT_TRUE(DispatchUntil(
        [&] {
            client.ReadAvailable(300);
            return CRequestSocket::LiveCount() == 0;
        },
        0));
    ASSERT_TRUE(ReadToEnd(client));
    EXPECT_FALSE(client.WasReset());
    EXPECT_TRUE(client.Received() == std::string(kSuccessHeader) + picture);
}

}  // namespace
