#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ImageServerFixture.h"
#include "httpd/RequestSocket.h"

namespace {

const std::string kBuiltInReply =
    std::string("HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n") +
    std::string(
        "\x47\x49\x46\x38\x39\x61\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00"
        "\xFF\xFF\xCC\x21\xF9\x04\x05\x14\x00\x00\x00\x2C\x00\x00\x00\x00"
        "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
        43);

using ImageReplyTest = ImageServerFixture;

TEST_F(ImageReplyTest, FirstTenConnectionsPickTheFixedSequenceOfImages) {
    WriteAllImages();
    for (const int digit : {5, 5, 4, 4, 5, 4, 0, 0, 4, 2}) {
        EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + ImageContent(digit));
    }
}

TEST_F(ImageReplyTest, RestartKeepsTheImageSequenceGoing) {
    WriteAllImages();
    EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + ImageContent(5));
    m_server->StopImageServer();
    m_server->StartImageServer();
    EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + ImageContent(5));
    EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + ImageContent(4));
}

TEST_F(ImageReplyTest, BuiltInReplyIsExactly89Bytes) {
    SetImagesSetting(0);
    WriteAllImages();
    for (int i = 0; i < 3; ++i) {
        const std::string reply = Fetch();
        EXPECT_EQ(reply.size(), 89u);
        EXPECT_EQ(reply, kBuiltInReply);
    }
}

TEST_F(ImageReplyTest, MissingImageGivesOnlyTheRefusalLine) {
    EXPECT_EQ(Fetch(), kRefusalLine);
}

TEST_F(ImageReplyTest, ImagesSettingOfTwoServesFiles) {
    SetImagesSetting(2);
    WriteAllImages();
    EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + ImageContent(5));
}

TEST_F(ImageReplyTest, EmptyImageFileGivesTheHeaderAlone) {
    WriteImage(5, "");
    EXPECT_EQ(Fetch(), kSuccessHeader);
}

// Something named like the image that exists but cannot serve as one: only a line end
// is sent, and a pipe in its place does not stall the server.
struct UnopenableImage {
    const char* name;
    std::function<void(const std::string& path)> make;
};

class UnopenableImageTest : public ImageServerFixture,
                            public ::testing::WithParamInterface<UnopenableImage> {};

TEST_P(UnopenableImageTest, ImageThatExistsButCannotBeOpenedGivesOnlyALineEnd) {
    GetParam().make(Folder() + "/image.5.gif");
    EXPECT_EQ(Fetch(), "\r\n");
    WriteImage(4, "fine");
    EXPECT_EQ(Fetch(), "\r\n");  // the second draw is 5 again
    EXPECT_EQ(Fetch(), std::string(kSuccessHeader) + "fine");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnopenableImageTest,
    ::testing::Values(
        UnopenableImage{"Folder",
                        [](const std::string& path) { std::filesystem::create_directory(path); }},
        UnopenableImage{
            "Pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }}),
    [](const auto& info) { return std::string(info.param.name); });

class AnyRequestTest : public ImageServerFixture,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(AnyRequestTest, AnyRequestGetsTheSameKindOfReply) {
    for (int digit = 0; digit < 6; ++digit) {
        WriteImage(digit, "same picture");
    }
    EXPECT_EQ(Fetch(GetParam()), std::string(kSuccessHeader) + "same picture");
    SetImagesSetting(0);
    EXPECT_EQ(Fetch(GetParam()), kBuiltInReply);
}

INSTANTIATE_TEST_SUITE_P(Requests, AnyRequestTest,
                         ::testing::Values("GET /banner.gif HTTP/1.1\r\nHost: ads\r\n\r\n",
                                           "a line of junk\n", std::string("\0\x01\xFF\x7F", 4),
                                           std::string(1023, 'x')));

TEST_F(ImageReplyTest, ImagesSettingIsTakenWhenTheConnectionIsAccepted) {
    WriteAllImages();
    SetImagesSetting(0);
    TestClient builtIn(Port());
    ASSERT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 1; }));
    SetImagesSetting(1);
    TestClient withImage(Port());
    ASSERT_TRUE(DispatchUntil([] { return CRequestSocket::LiveCount() == 2; }));
    SetImagesSetting(0);

    SendAll(builtIn, "GET / HTTP/1.0\r\n\r\n");
    SendAll(withImage, "GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(ReadToEnd(builtIn));
    ASSERT_TRUE(ReadToEnd(withImage));
    EXPECT_EQ(builtIn.Received(), kBuiltInReply);
    EXPECT_EQ(withImage.Received(), std::string(kSuccessHeader) + ImageContent(5));
}

TEST_F(ImageReplyTest, CompletedReplyLeavesTheActivityFlagCleared) {
    WriteAllImages();
    Fetch();
    EXPECT_FALSE(m_host.activity);
    EXPECT_GT(m_host.raised, 0);
    EXPECT_GE(m_host.updates, m_host.raised + m_host.lowered);
}

}  // namespace
