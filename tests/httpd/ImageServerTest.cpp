#include "httpd/ImageServer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "httpd/ConnectionLimits.h"
#include "httpd/ImageServerHost.h"
#include "httpd/RequestReading.h"
#include "httpd/RequestSocket.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "tests/support/Dispatch.h"
#include "tests/support/LoopbackClients.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kHeader = "HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n";
// A transparent 1 x 1 GIF.
const std::string kBuiltInReply =
    kHeader +
    std::string(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xCC\x21\xF9\x04\x05"
        "\x14\x00\x00\x00\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
        43);

struct Host : IImageServerHost {
    void SetActivityFlag(bool active) override { activity = active; }
    void UpdateActivityIcon() override {}
    void SetDefaultMenuItem(int) override {}
    void CountRequest(httpd::RequestOutcome outcome) override { counters.Count(outcome); }
    bool activity = false;
    httpd::RequestCounters counters;
};

// A running image server on a free port of 127.0.0.1 whose folder, and the current folder while the
// test runs, is a temporary one. The test runs the server's reactor itself.
class ImageServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::current_path(m_folder.Path());
        m_server = std::make_unique<CImageServer>(m_host, m_folder.Profile(), 0);
        m_server->StartImageServer();
        ASSERT_TRUE(m_server->IsRunning());
    }
    // A server in the place of the first, with other limits.
    void Restart(const ConnectionLimits& limits) {
        m_server = std::make_unique<CImageServer>(m_host, m_folder.Profile(), 0, limits);
        m_server->StartImageServer();
        ASSERT_TRUE(m_server->IsRunning());
    }
    void TearDown() override {
        // Every connection has ended, deleting itself, and the activity flag is down.
        EXPECT_TRUE(kit::DispatchUntil(m_reactor, [] { return CRequestSocket::LiveCount() == 0; }));
        EXPECT_FALSE(m_host.activity);
        std::filesystem::current_path(m_previous);
    }

    void SendAll(kit::CTcpClient& client, std::string_view data = "GET / HTTP/1.0\r\n\r\n") {
        std::size_t sent = 0;
        ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] {
            return (sent += client.SendSome(data.substr(sent))) == data.size();
        }));
    }
    // Reads, at most `limit` bytes between turns of the server's loop, until the end.
    bool ReadToEnd(kit::CTcpClient& client, std::size_t limit = SIZE_MAX) {
        return kit::DispatchUntil(
            m_reactor, [&] { return client.ReadAvailable(limit), client.Ended(); }, 30000);
    }
    // One request on a new connection; what came back.
    std::string Fetch() {
        kit::CTcpClient client(m_server->Port());
        SendAll(client);
        EXPECT_TRUE(ReadToEnd(client));
        EXPECT_FALSE(client.WasReset());
        return client.Received();
    }

    CReactor m_reactor;
    Host m_host;
    kit::CTempFolder m_folder{"QUORVIN.INI"};
    const std::filesystem::path m_previous = std::filesystem::current_path();
    std::unique_ptr<CImageServer> m_server;
};

TEST_F(ImageServerTest, RepliesWithTheImageFileTheBuiltInPictureOrARefusal) {
    // Columns: Images, what each image.N.gif is (a file's text, or "<folder>", "<pipe>", "<none>");
    // the reply. Each connection sees the Images value of its time.
    // The file ends one byte into the second chunk of the reply, which goes out in chunks of
    // the request buffer's size.
    const std::string picture(httpd::kRequestBufferSize - kHeader.size() + 1, 'p');
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"1", picture, kHeader + picture}, {"2", "", kHeader},
        {"0", picture, kBuiltInReply},     {"1", "<none>", "HTTP/1.0 404 Lost Dog\r\n"},
        {"1", "<folder>", "\r\n"},         {"1", "<pipe>", "\r\n"}};
    for (const auto& [images, image, reply] : rows) {
        m_folder.Profile().WriteString(profile::kPreferences, profile::kImages, images);
        for (const char digit : std::string("012345")) {
            const std::string name = std::string("image.") + digit + ".gif";
            std::filesystem::remove_all(name);
            if (image == "<folder>") {
                m_folder.AddFolder(name);
            } else if (image == "<pipe>") {
                ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
            } else if (image != "<none>") {
                m_folder.Write(name, image);
            }
        }
        EXPECT_EQ(Fetch(), reply) << images << " " << image;
    }
    // The two files and the built-in picture count as pictures served.
    EXPECT_EQ(m_host.counters.requests, 6u);
    EXPECT_EQ(m_host.counters.pictures, 3u);
    EXPECT_EQ(m_host.counters.refused, 0u);
}

TEST_F(ImageServerTest, ConnectionsPickTheImagesOfOneFixedSequenceThatRestartsKeep) {
    for (int digit = 0; digit < 6; ++digit) {
        m_folder.Write("image." + std::to_string(digit) + ".gif", std::to_string(digit));
    }
    for (const char* digit : {"5", "5", "4", "4", "5", "4", "0", "0", "4", "2"}) {
        EXPECT_EQ(Fetch(), kHeader + digit);
        m_server->StartImageServer();
    }
}

TEST_F(ImageServerTest, LargeFileReachesASlowReaderWholeThoughTheServerStops) {
    std::string picture(2 << 20, '\0');
    std::generate(picture.begin(), picture.end(), std::mt19937(12345));
    m_folder.Write("image.5.gif", picture);
    // Connections accepted from now on hold at most one segment unsent: short sends.
    const int lowWater = 1;
    ASSERT_EQ(::setsockopt(m_server->ListenHandle(), IPPROTO_TCP, TCP_NOTSENT_LOWAT, &lowWater,
                           sizeof lowWater),
              0);
    kit::CTcpClient client(m_server->Port(), {.receiveBuffer = 4096, .maxSegment = 536});
    SendAll(client);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [&] { return client.ReadAvailable(300) != 0; }));
    m_server->StopImageServer();
    ASSERT_TRUE(ReadToEnd(client, 300));
    EXPECT_FALSE(client.WasReset());
    EXPECT_TRUE(client.Received() == kHeader + picture);
}

// A look every 10 ms; more than 10 looks without progress close a connection.
constexpr ConnectionLimits kShortIdleLimit{.idleLimitMs = 100, .sweepPeriodMs = 10};

TEST_F(ImageServerTest, IdleConnectionsAreClosedWithoutReplyAndKeepTheirDraws) {
    Restart(kShortIdleLimit);
    for (int digit = 0; digit < 6; ++digit) {
        m_folder.Write("image." + std::to_string(digit) + ".gif", std::to_string(digit));
    }
    kit::CTcpClient silent(m_server->Port());
    kit::CTcpClient fullBuffer(m_server->Port());
    SendAll(fullBuffer, std::string(httpd::kRequestBufferSize, 'x'));
    for (kit::CTcpClient* client : {&silent, &fullBuffer}) {
        ASSERT_TRUE(ReadToEnd(*client));
        EXPECT_EQ(client->Received(), "");
    }
    EXPECT_EQ(Fetch(), kHeader + "4");  // the third draw
}

TEST_F(ImageServerTest, ReaderThatStopsIsCutOffWhileOneThatReadsSlowlyGetsAll) {
    Restart(kShortIdleLimit);
    std::string picture(1 << 20, '\0');
    std::generate(picture.begin(), picture.end(), std::mt19937(12345));
    for (const char* digit : {"4", "5"}) {
        m_folder.Write(std::string("image.") + digit + ".gif", picture);
    }
    // A send queue so long that room for more comes back only after several idle limits of
    // slow reading: the slow reader's progress shows in the queue alone.
    const int sendBuffer = 256 << 10;
    ASSERT_EQ(::setsockopt(m_server->ListenHandle(), SOL_SOCKET, SO_SNDBUF, &sendBuffer,
                           sizeof sendBuffer),
              0);
    kit::CTcpClient slow(m_server->Port(), {.receiveBuffer = 4096});
    kit::CTcpClient stopped(m_server->Port(), {.receiveBuffer = 4096});
    SendAll(slow);
    SendAll(stopped);
    // 4000 bytes every 5 ms.
    ASSERT_TRUE(kit::DispatchUntil(
        m_reactor,
        [&] {
            slow.ReadAvailable(4000);
            kit::DispatchFor(m_reactor, 5);
            return slow.Ended();
        },
        30000));
    EXPECT_FALSE(slow.WasReset());
    EXPECT_TRUE(slow.Received() == kHeader + picture);
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [] { return CRequestSocket::LiveCount() == 0; }));
    stopped.ReadToEnd();
    EXPECT_TRUE(stopped.WasReset());
    EXPECT_LT(stopped.Received().size(), kHeader.size() + picture.size());
}

TEST_F(ImageServerTest, ConnectionsBeyondTheBoundWaitWithoutCpuAndAreServedInTurn) {
    Restart({.maxConnections = 2});
    m_folder.Profile().WriteString(profile::kPreferences, profile::kImages, "0");
    auto first = std::make_unique<kit::CTcpClient>(m_server->Port());
    kit::CTcpClient second(m_server->Port());
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [] { return CRequestSocket::LiveCount() == 2; }));
    kit::CTcpClient waiting(m_server->Port());
    SendAll(waiting);
    const std::clock_t cpuBefore = std::clock();
    kit::DispatchFor(m_reactor, 300);
    EXPECT_LT(std::clock() - cpuBefore, CLOCKS_PER_SEC * 60 / 1000);
    EXPECT_EQ(CRequestSocket::LiveCount(), 2);
    first.reset();
    EXPECT_TRUE(ReadToEnd(waiting));
    EXPECT_EQ(waiting.Received(), kBuiltInReply);
}

TEST_F(ImageServerTest, PeerOtherThanTheLocalHostIsClosedWithoutReply) {
    kit::CTcpClient stranger(m_server->Port(), {.fromAddress = "127.0.0.2"});
    ASSERT_TRUE(stranger.IsConnected());
    SendAll(stranger);
    ASSERT_TRUE(ReadToEnd(stranger));
    EXPECT_EQ(stranger.Received(), "");
    EXPECT_EQ(m_host.counters.refused, 1u);
    EXPECT_EQ(m_host.counters.requests, 1u);
}

TEST_F(ImageServerTest, ConnectionWaitingForADescriptorCostsNoCpuAndIsServedWhenOneIsFree) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's type checks open a pipe, which fails without descriptors";
#endif
    m_folder.Profile().WriteString(profile::kPreferences, profile::kImages, "0");
    auto idle = std::make_unique<kit::CTcpClient>(m_server->Port());
    ASSERT_TRUE(kit::DispatchUntil(m_reactor, [] { return CRequestSocket::LiveCount() == 1; }));
    // Every descriptor taken below a soft limit a little above those open, but one, which the
    // waiting client takes.
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    std::vector<CUniqueFd> taken(1);
    taken[0].Reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const rlimit squeezed{static_cast<rlim_t>(taken[0].Get() + 16), saved.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &squeezed);
    while (taken.back().IsOpen()) {
        taken.emplace_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
    taken.resize(taken.size() - 2);
    kit::CTcpClient waiting(m_server->Port());
    ASSERT_TRUE(waiting.IsConnected());
    const std::clock_t cpuBefore = std::clock();
    kit::DispatchFor(m_reactor, 300);
    // A loop that spins uses about all of the time; one that waits, almost none.
    EXPECT_LT(std::clock() - cpuBefore, CLOCKS_PER_SEC * 60 / 1000);
    EXPECT_EQ(CRequestSocket::LiveCount(), 1);
    idle.reset();
    SendAll(waiting);
    EXPECT_TRUE(ReadToEnd(waiting));
    EXPECT_EQ(waiting.Received(), kBuiltInReply);
    taken.clear();
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
