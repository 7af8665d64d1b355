#include <signal.h>

#include <thread>

#include "EndToEnd.h"

namespace {

const std::string kQuorvin = QUORVIN_BINARY;
const std::string kHeader = "HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n";
constexpr std::size_t kBuiltInReplySize = 89;

class QuorvinEndToEndTest : public EndToEndTest {
protected:
    QuorvinEndToEndTest() {
        for (int i = 0; i < 6; ++i) {
            WriteFile("image." + std::to_string(i) + ".gif", "GIF89a picture " + std::to_string(i));
        }
    }

    std::unique_ptr<ProgramProcess> StartInstance(const std::vector<std::string>& args = {}) {
        return EndToEndTest::StartInstance(kQuorvin, "QUORVIN", args);
    }
};

TEST_F(QuorvinEndToEndTest, ServesTheImageFilesOnPort80AndHidesItsIconFromThenOn) {
    auto instance = StartInstance();
    EXPECT_EQ(FetchHttp(), kHeader + "GIF89a picture 5");
    EXPECT_EQ(FetchHttp("junk\r\n"), kHeader + "GIF89a picture 5");
    EXPECT_EQ(FetchHttp(), kHeader + "GIF89a picture 4");
    EXPECT_NE(ProfileText("QUORVIN.INI").find("HideOnStart=1"), std::string::npos);
    EXPECT_EQ(StatusLineOnSignal(*instance), "Quorvin: 3 requests, 3 pictures served, 0 refused");
    Quit(kQuorvin, *instance);
    auto shown = StartInstance({"/v", "/t"});
    EXPECT_NE(ProfileText("QUORVIN.INI").find("HideOnStart=0"), std::string::npos);
    EXPECT_EQ(FetchHttp().size(), kBuiltInReplySize);  // /t: the built-in picture
    Quit(kQuorvin, *shown);
}

TEST_F(QuorvinEndToEndTest, SecondStartTogglesImagesAndTheListener) {
    auto instance = StartInstance();
    EXPECT_EQ(RunOnce(kQuorvin, {"/i"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(FetchHttp().size(), kBuiltInReplySize);
    EXPECT_EQ(RunOnce(kQuorvin, {"/S"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(FetchHttp().empty());
    EXPECT_EQ(RunOnce(kQuorvin, {"/s"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(FetchHttp().empty());
    instance->Signal(SIGINT);
    EXPECT_EQ(instance->Wait(5000), 0);
}

}  // namespace
