#include "httpd/ImageServer.h"

#include <algorithm>
#include <string>

#include "ImageServerFixture.h"

namespace {

using ImageServerTest = ImageServerFixture;

TEST_F(ImageServerTest, StartListensAndMakesStopTheDefaultItem) {
    EXPECT_TRUE(m_server->IsRunning());
    EXPECT_NE(Port(), 0u);
    EXPECT_EQ(m_host.defaultMenuItem, IImageServerHost::kStopMenuItem);
    EXPECT_TRUE(TestClient(Port()).IsConnected());
}

TEST_F(ImageServerTest, StopClosesTheListenerAndMakesStartTheDefaultItem) {
    const unsigned port = Port();
    m_server->StopImageServer();
    EXPECT_FALSE(m_server->IsRunning());
    EXPECT_EQ(Port(), 0u);
    EXPECT_EQ(m_host.defaultMenuItem, IImageServerHost::kStartMenuItem);
    EXPECT_FALSE(TestClient(port).IsConnected());
}

TEST_F(ImageServerTest, StartWhileRunningReplacesTheListener) {
    const unsigned oldPort = Port();
    m_server->StartImageServer();
    ASSERT_TRUE(m_server->IsRunning());
    EXPECT_NE(Port(), oldPort);
    EXPECT_FALSE(TestClient(oldPort).IsConnected());
    EXPECT_EQ(Fetch(), kRefusalLine);
}

TEST_F(ImageServerTest, StartOnAPortInUseLeavesTheServerStoppedAndSaysWhy) {
    FakeServerHost otherHost;
    CImageServer other(otherHost, *m_profile, Port());
    ::testing::internal::CaptureStderr();
    other.StartImageServer();
    const std::string complaint = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(other.IsRunning());
    EXPECT_EQ(other.Port(), 0u);
    EXPECT_NE(complaint.find("127.0.0.1:" + std::to_string(Port())), std::string::npos)
        << complaint;
    EXPECT_EQ(std::count(complaint.begin(), complaint.end(), '\n'), 1);

    const unsigned port = Port();
    m_server->StopImageServer();
    other.StartImageServer();
    EXPECT_TRUE(other.IsRunning());
    EXPECT_EQ(other.Port(), port);
}

}  // namespace
