#include <random>
#include <string>

#include "ImageServerFixture.h"
#include "httpd/RequestSocket.h"

namespace {

constexpr std::size_t kLargeFileSize = 5 << 20;

std::string RandomBytes(std::size_t size) {
    std::mt19937 generator(12345);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

class LargeFileTest : public ImageServerFixture {
protected:
    // Reads less at a time than the server writes, so that the server keeps meeting a full
    // connection: short sends and waits for room.
    bool ReadSlowly(TestClient& client) {
        return DispatchUntil(
            [&] {
                client.ReadAvailable(kSlowReadBytes);
                return client.Ended();
            },
            0);
    }

    static constexpr int kClientReceiveBuffer = 4096;
    static constexpr int kSegmentSize = 536;
    static constexpr std::size_t kSlowReadBytes = 300;
};

TEST_F(LargeFileTest, LargeFileArrivesIntactThroughASlowReader) {
    const std::string picture = RandomBytes(kLargeFileSize);
    WriteImage(5, picture);
    LimitServerUnsentData();
    TestClient client(Port(), {.receiveBuffer = kClientReceiveBuffer, .maxSegment = kSegmentSize});
    SendAll(client, "GET /big.gif HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(ReadSlowly(client));
    EXPECT_FALSE(client.WasReset());
    ASSERT_EQ(client.Received().size(), kSuccessHeader.size() + picture.size());
    EXPECT_TRUE(client.Received() == std::string(kSuccessHeader) + picture);
    // Besides the one after the header, every update without a change of the activity
    // flag marks a short send.
    EXPECT_GT(m_host.BareUpdates(), 1);
}

TEST_F(LargeFileTest, StoppingTheServerDoesNotCutOffAReplyInProgress) {
    const std::string picture = RandomBytes(kLargeFileSize / 4);
    WriteImage(5, picture);
    LimitServerUnsentData();
    TestClient client(Port(), {.receiveBuffer = kClientReceiveBuffer, .maxSegment = kSegmentSize});
    SendAll(client, "GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(DispatchUntil([&] {
        client.ReadAvailable(kSlowReadBytes);
        return client.Received().size() > kSlowReadBytes;
    }));
    const unsigned port = Port();
    m_server->StopImageServer();
    EXPECT_FALSE(TestClient(port).IsConnected());

    ASSERT_TRUE(ReadSlowly(client));
    EXPECT_FALSE(client.WasReset());
    EXPECT_TRUE(client.Received() == std::string(kSuccessHeader) + picture);
}

}  // namespace
