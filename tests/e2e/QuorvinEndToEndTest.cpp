#include <signal.h>

#include "EndToEnd.h"

namespace {

const std::string kQuorvin = QUORVIN_BINARY;
constexpr unsigned kHttpPort = 80;
const std::string kHeader = "HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n";

class QuorvinEndToEndTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        for (int i = 0; i < 6; ++i) {
            WriteFile("image." + std::to_string(i) + ".gif", "GIF89a picture " + std::to_string(i));
        }
    }

    std::unique_ptr<ProgramProcess> StartInstance(const std::vector<std::string>& args = {}) {
        auto process = Start(kQuorvin, args);
        EXPECT_TRUE(AwaitInstance("QUORVIN")) << process->StandardError();
        return process;
    }

    void Quit(ProgramProcess& instance) {
        EXPECT_EQ(RunOnce(kQuorvin, {"/q"}), 0);
        EXPECT_EQ(instance.Wait(5000), 0) << instance.StandardError();
    }
};

TEST_F(QuorvinEndToEndTest, ServesTheImageFilesOnPort80) {
    auto instance = StartInstance();
    EXPECT_EQ(FetchHttp(kHttpPort), kHeader + "GIF89a picture 5");
    EXPECT_EQ(FetchHttp(kHttpPort, "junk\r\n"), kHeader + "GIF89a picture 5");
    EXPECT_EQ(FetchHttp(kHttpPort), kHeader + "GIF89a picture 4");
    Quit(*instance);
}

TEST_F(QuorvinEndToEndTest, StartWithoutViewStoresHideOnStart) {
    auto instance = StartInstance();
    EXPECT_NE(ProfileText("QUORVIN.INI").find("HideOnStart=1"), std::string::npos);
    Quit(*instance);
    auto shown = StartInstance({"/v"});
    EXPECT_NE(ProfileText("QUORVIN.INI").find("HideOnStart=0"), std::string::npos);
    Quit(*shown);
}

TEST_F(QuorvinEndToEndTest, SecondStartWithImagesSwitchTogglesTheBuiltInPicture) {
    auto instance = StartInstance();
    EXPECT_EQ(RunOnce(kQuorvin, {"/i"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NE(ProfileText("QUORVIN.INI").find("Images=0"), std::string::npos);
    const std::string reply = FetchHttp(kHttpPort);
    EXPECT_EQ(reply.size(), 89u);
    EXPECT_EQ(reply.substr(0, kHeader.size()), kHeader);
    Quit(*instance);
}

TEST_F(QuorvinEndToEndTest, FirstStartWithTurnOffUsesTheBuiltInPicture) {
    auto instance = StartInstance({"/t"});
    EXPECT_NE(ProfileText("QUORVIN.INI").find("Images=0"), std::string::npos);
    EXPECT_EQ(FetchHttp(kHttpPort).size(), 89u);
    Quit(*instance);
}

TEST_F(QuorvinEndToEndTest, ServiceSwitchStopsAndStartsTheListener) {
    auto instance = StartInstance();
    EXPECT_EQ(RunOnce(kQuorvin, {"/S"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(FetchHttp(kHttpPort).empty());
    EXPECT_EQ(RunOnce(kQuorvin, {"/s"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(FetchHttp(kHttpPort).empty());
    instance->Signal(SIGINT);
    EXPECT_EQ(instance->Wait(5000), 0);
}

}  // namespace
