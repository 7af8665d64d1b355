#include "ImageServerFixture.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "httpd/RequestSocket.h"

namespace {

// Only a safeguard against a hang: no test waits this long when the server works.
constexpr auto kPatience = std::chrono::seconds(20);
}  // namespace

void ImageServerFixture::SetUp() {
    char previous[PATH_MAX];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    m_previousFolder = previous;
    std::string pattern = (std::filesystem::temp_directory_path() / "httpd-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
    ASSERT_EQ(::chdir(m_folder.c_str()), 0);

    m_profile = std::make_unique<ProfileStore>(m_folder + "/QUORVIN.INI");
    m_server = std::make_unique<CImageServer>(m_host, *m_profile, 0);
    m_server->StartImageServer();
    ASSERT_TRUE(m_server->IsRunning());
}

void ImageServerFixture::TearDown() {
    // Every test ends its connections; the server's objects must all be gone.
    EXPECT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 0; }));
    m_server.reset();
    EXPECT_EQ(::chdir(m_previousFolder.c_str()), 0);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

bool ImageServerFixture::DispatchUntil(const std::function<bool()>& done, int sliceMs) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        m_reactor.DispatchReady(sliceMs);
    }
    return true;
}

void ImageServerFixture::DispatchFor(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        m_reactor.DispatchReady(static_cast<int>(left.count()) + 1);
    }
}

void ImageServerFixture::SendAll(TestClient& client, std::string_view data) {
    std::size_t sent = 0;
    ASSERT_TRUE(DispatchUntil([&] {
        sent += client.SendSome(data.substr(sent));
        return sent == data.size();
    }));
}

bool ImageServerFixture::ReadToEnd(TestClient& client) {
    return DispatchUntil([&] {
        client.ReadAvailable();
        return client.Ended();
    });
}

std::string ImageServerFixture::Fetch(std::string_view request) {
    TestClient client(Port());
    EXPECT_TRUE(client.IsConnected());
    SendAll(client, request);
    EXPECT_TRUE(ReadToEnd(client));
    EXPECT_FALSE(client.WasReset());
    return client.Received();
}

void ImageServerFixture::LimitServerUnsentData() {
    const int fd = m_server->ListenHandle();
    ASSERT_GE(fd, 0);
    const int lowWater = 1;
    ASSERT_EQ(::setsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &lowWater, sizeof lowWater), 0);
}

void ImageServerFixture::WriteImage(int digit, std::string_view content) {
    std::ofstream file(m_folder + "/image." + std::to_string(digit) + ".gif", std::ios::binary);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void ImageServerFixture::WriteAllImages() {
    for (int digit = 0; digit < 6; ++digit) {
        WriteImage(digit, ImageContent(digit));
    }
}

std::string ImageServerFixture::ImageContent(int digit) {
    return "GIF89a picture number " + std::to_string(digit);
}

void ImageServerFixture::SetImagesSetting(int value) {
    ASSERT_TRUE(m_profile->WriteInt("Preferences", "Images", value));
}
