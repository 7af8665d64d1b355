#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "EndToEnd.h"

namespace {

const std::string kNimbrel = NIMBREL_BINARY;
constexpr unsigned kDnsPort = 53;
const std::vector<std::uint8_t> kLocalAnswerTail = {0xC0, 0x0C, 0, 1, 0,   1, 0, 0,
                                                    0x1C, 0x20, 0, 4, 127, 0, 0, 1};

class NimbrelEndToEndTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        WriteFile("named.txt", "ads.example\r\ntracker.example\n");
    }

    std::unique_ptr<ProgramProcess> StartInstance(const std::vector<std::string>& args = {}) {
        auto process = Start(kNimbrel, args);
        EXPECT_TRUE(AwaitInstance("NIMBREL")) << process->StandardError();
        return process;
    }

    static bool IsLocalAnswer(const std::vector<std::uint8_t>& reply) {
        return reply.size() > kLocalAnswerTail.size() &&
               std::equal(kLocalAnswerTail.begin(), kLocalAnswerTail.end(),
                          reply.end() - static_cast<long>(kLocalAnswerTail.size()));
    }

    void Quit(ProgramProcess& instance) {
        EXPECT_EQ(RunOnce(kNimbrel, {"/q"}), 0);
        EXPECT_EQ(instance.Wait(5000), 0) << instance.StandardError();
    }
};

TEST_F(NimbrelEndToEndTest, ListedNameIsAnsweredAndOthersAreRelayed) {
    FakeUpstreamServer upstream("127.0.0.2");
    ASSERT_TRUE(upstream.IsListening());
    {
        std::ofstream profile(m_config + "/NIMBREL.INI");
        profile << "[Proxy]\nIP1=127.0.0.2\nUseCode=10000\n";
    }
    auto instance = StartInstance();

    const std::vector<std::uint8_t> listed = AddressQuery(0xBEEF, "img.ads.example");
    const std::vector<std::uint8_t> answer = AwaitDnsReply("127.0.0.1", kDnsPort, listed, 3000);
    ASSERT_EQ(answer.size(), listed.size() + 16);
    EXPECT_EQ(answer[0], 0xBE);
    EXPECT_EQ(answer[1], 0xEF);
    EXPECT_EQ(answer[2], 0x85);
    EXPECT_TRUE(IsLocalAnswer(answer));

    const std::vector<std::uint8_t> other = AddressQuery(0x4242, "www.other.example");
    EXPECT_EQ(AskDns("127.0.0.1", kDnsPort, other, 3000), FakeUpstreamServer::ReplyTo(other));

    // Another type for a listed name gets the answer's header with no record.
    std::vector<std::uint8_t> aaaa = listed;
    aaaa[aaaa.size() - 3] = 28;
    const std::vector<std::uint8_t> empty = AskDns("127.0.0.1", kDnsPort, aaaa, 3000);
    ASSERT_EQ(empty.size(), aaaa.size());
    EXPECT_EQ(empty[2], 0x85);
    EXPECT_EQ(empty[7], 0);
    Quit(*instance);
}

TEST_F(NimbrelEndToEndTest, SecondStartWithLoadReloadsTheLists) {
    auto instance = StartInstance();
    const std::vector<std::uint8_t> fresh = AddressQuery(7, "fresh.example");
    EXPECT_FALSE(IsLocalAnswer(AskDns("127.0.0.1", kDnsPort, fresh, 3000)));
    WriteFile("Named.txt", "fresh.example\n");  // any letter case reaches the same list
    std::filesystem::remove(m_work + "/named.txt");
    EXPECT_EQ(RunOnce(kNimbrel, {"/L"}), 0);
    EXPECT_TRUE(IsLocalAnswer(AwaitDnsReply("127.0.0.1", kDnsPort, fresh, 3000)));
    Quit(*instance);
}

TEST_F(NimbrelEndToEndTest, SecondStartWithServiceSwitchTogglesTheService) {
    auto instance = StartInstance();
    const std::vector<std::uint8_t> query = AddressQuery(9, "ads.example");
    ASSERT_FALSE(AwaitDnsReply("127.0.0.1", kDnsPort, query, 3000).empty());
    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(AskDns("127.0.0.1", kDnsPort, query, 300).empty());
    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);
    EXPECT_FALSE(AwaitDnsReply("127.0.0.1", kDnsPort, query, 3000).empty());
    Quit(*instance);
}

TEST_F(NimbrelEndToEndTest, ViewAndHideSwitchesWriteTheProfile) {
    auto instance = StartInstance({"/v", "/h"});
    EXPECT_NE(ProfileText("NIMBREL.INI").find("HideOnStart=1"), std::string::npos);
    // A second start's /v writes nothing; its /h shows the hidden icon of the instance.
    EXPECT_EQ(RunOnce(kNimbrel, {"/v"}), 0);
    EXPECT_NE(ProfileText("NIMBREL.INI").find("HideOnStart=1"), std::string::npos);
    Quit(*instance);

    auto again = StartInstance({"/V"});
    EXPECT_NE(ProfileText("NIMBREL.INI").find("HideOnStart=0"), std::string::npos);
    Quit(*again);
}

TEST_F(NimbrelEndToEndTest, NamedAndPassSwitchesOpenTheListsInTheEditor) {
    // The editor launcher is the outside world: a stand-in records what it was handed.
    const std::string opened = m_root + "/opened";
    {
        std::ofstream launcher(m_root + "/bin/xdg-open");
        launcher << "#!/bin/sh\necho \"$1\" >> " << opened << "\n";
    }
    std::filesystem::permissions(m_root + "/bin/xdg-open", std::filesystem::perms::owner_all);
    WriteFile("Pass.txt", "");
    auto instance = StartInstance({"/n"});
    EXPECT_EQ(RunOnce(kNimbrel, {"/p"}), 0);
    std::string lines;
    for (int waited = 0; waited < 3000 && std::count(lines.begin(), lines.end(), '\n') < 2;
         waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in(opened);
        lines.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(lines, m_work + "/named.txt\n" + m_work + "/Pass.txt\n");
    Quit(*instance);
}

TEST_F(NimbrelEndToEndTest, FirstStartWithQuitEndsAtOnceAndWritesNothing) {
    EXPECT_EQ(RunOnce(kNimbrel, {"/q", "/h"}), 0);
    EXPECT_TRUE(ProfileText("NIMBREL.INI").empty());
}

TEST_F(NimbrelEndToEndTest, TerminateSignalEndsTheInstanceNormally) {
    auto instance = StartInstance();
    instance->Signal(SIGTERM);
    EXPECT_EQ(instance->Wait(5000), 0);
    EXPECT_FALSE(std::filesystem::exists(m_runtime + "/NIMBREL"));
}

TEST_F(NimbrelEndToEndTest, PortInUseIsReportedOnStandardErrorAndTheInstanceStays) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kDnsPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    auto instance = StartInstance();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string message = instance->StandardError();
    EXPECT_NE(message.find("127.0.0.1:53"), std::string::npos) << message;
    EXPECT_TRUE(instance->IsRunning());
    ::close(holder);
    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);  // started again, it now binds
    EXPECT_FALSE(
        AwaitDnsReply("127.0.0.1", kDnsPort, AddressQuery(1, "ads.example"), 3000).empty());
    Quit(*instance);
}

}  // namespace
