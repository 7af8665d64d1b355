#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "EndToEnd.h"
#include "tests/support/FakeUpstream.h"
#include "tests/support/LoopbackClients.h"

namespace {

using kit::Bytes;

const std::string kNimbrel = NIMBREL_BINARY;
// The local answer's record: 127.0.0.1 for the question's name.
const Bytes kLocalAnswerTail = {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0x1C, 0x20, 0, 4, 127, 0, 0, 1};

class NimbrelEndToEndTest : public EndToEndTest {
protected:
    NimbrelEndToEndTest() { WriteFile("named.txt", "ads.example\r\ntracker.example\n"); }

    std::unique_ptr<ProgramProcess> StartInstance(const std::vector<std::string>& args = {}) {
        return EndToEndTest::StartInstance(kNimbrel, "NIMBREL", args);
    }

    static bool IsLocalAnswer(const std::optional<Bytes>& reply) {
        return reply && reply->size() > kLocalAnswerTail.size() &&
               std::equal(kLocalAnswerTail.begin(), kLocalAnswerTail.end(),
                          reply->end() - static_cast<long>(kLocalAnswerTail.size()));
    }
};

TEST_F(NimbrelEndToEndTest, AnswersListedNamesRelaysOthersAndRepliesToEveryType) {
    kit::CFakeUpstream upstream("127.0.0.2", 53, kit::Answering(7));
    ASSERT_TRUE(upstream.IsBound());
    std::ofstream(m_config + "/NIMBREL.INI") << "[Proxy]\nIP1=127.0.0.2\nUseCode=10000\n";
    auto instance = StartInstance();

    EXPECT_TRUE(IsLocalAnswer(AskDns(kit::MakeQuery(0xBEEF, "img.ads.example"))));
    const Bytes other = kit::MakeQuery(0x4242, "www.other.example");
    EXPECT_EQ(AskDns(other), kit::UpstreamReply(other, 7));
    // Another type for a listed name: the answer's header with no record.
    const auto empty = AskDns(kit::MakeQuery(0x0101, "ads.example", kit::kTypeAaaa));
    ASSERT_TRUE(empty);
    EXPECT_EQ((*empty)[2], 0x85);
    EXPECT_EQ((*empty)[7], 0);
    // SIGUSR1 reports the counts and the program goes on.
    EXPECT_EQ(StatusLineOnSignal(*instance),
              "Nimbrel: 3 queries, 2 blocked, 1 relayed, 0 refused, "
              "0 failed, 0 dropped, 0 local");
    EXPECT_TRUE(IsLocalAnswer(AskDns(kit::MakeQuery(0xBEEF, "img.ads.example"))));
    Quit(kNimbrel, *instance);
}

TEST_F(NimbrelEndToEndTest, SecondStartReloadsTheListsAndTogglesTheService) {
    auto instance = StartInstance();
    const Bytes fresh = kit::MakeQuery(7, "fresh.example");
    const auto refused = AskDns(fresh);
    ASSERT_TRUE(refused);
    EXPECT_EQ(kit::RcodeOf(*refused), 5);       // no upstream: the resolver moves on at once
    WriteFile("Named.txt", "fresh.example\n");  // any letter case reaches the same list
    std::filesystem::remove(m_work + "/named.txt");
    // A switch is handed over without an answer: its effect shows in a later reply.
    const auto answeredLocallySoon = [&] {
        for (int tries = 0; tries < 30; ++tries) {
            if (IsLocalAnswer(AskDns(fresh))) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    };
    EXPECT_EQ(RunOnce(kNimbrel, {"/L"}), 0);
    EXPECT_TRUE(answeredLocallySoon());

    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(AskDns(fresh, 300));
    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);
    EXPECT_TRUE(answeredLocallySoon());
    Quit(kNimbrel, *instance);
}

TEST_F(NimbrelEndToEndTest, StartSwitchesWriteTheProfileAndQuitWritesNothing) {
    EXPECT_EQ(RunOnce(kNimbrel, {"/q", "/h"}), 0);
    EXPECT_TRUE(ProfileText("NIMBREL.INI").empty());
    auto instance = StartInstance({"/v", "/h"});
    EXPECT_NE(ProfileText("NIMBREL.INI").find("HideOnStart=1"), std::string::npos);
    // A second start's /v writes nothing.
    EXPECT_EQ(RunOnce(kNimbrel, {"/v"}), 0);
    EXPECT_NE(ProfileText("NIMBREL.INI").find("HideOnStart=1"), std::string::npos);
    // --help and --version answer by themselves: the /q beside them is not handed over.
    EXPECT_EQ(RunOnce(kNimbrel, {"/q", "--help"}), 0);
    EXPECT_EQ(RunOnce(kNimbrel, {"--version", "/q"}), 0);
    EXPECT_EQ(instance->Wait(300), -1);
    instance->Signal(SIGTERM);
    EXPECT_EQ(instance->Wait(5000), 0);
    EXPECT_FALSE(std::filesystem::exists(m_runtime + "/NIMBREL"));
}

TEST_F(NimbrelEndToEndTest, NamedAndPassSwitchesOpenTheListsInTheEditor) {
    // The editor launcher is the outside world: a stand-in records what it was handed.
    const std::string opened = m_root.Path() + "/opened";
    std::ofstream(m_tools + "/xdg-open") << "#!/bin/sh\necho \"$1\" >> " << opened << "\n";
    std::filesystem::permissions(m_tools + "/xdg-open", std::filesystem::perms::owner_all);
    WriteFile("Pass.txt", "");
    auto instance = StartInstance({"/n"});
    EXPECT_EQ(RunOnce(kNimbrel, {"/p"}), 0);
    // The two launchers run side by side: either may write its line first.
    std::string lines;
    for (int waited = 0; waited < 3000 && std::count(lines.begin(), lines.end(), '\n') < 2;
         waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lines = m_root.Read("opened");
    }
    const std::string named = m_work + "/named.txt\n";
    const std::string pass = m_work + "/Pass.txt\n";
    EXPECT_TRUE(lines == named + pass || lines == pass + named) << lines;
    Quit(kNimbrel, *instance);
}

TEST_F(NimbrelEndToEndTest, PortInUseIsReportedAndAStartLaterBindsIt) {
    auto holder = std::make_unique<kit::CHeldPort>(SOCK_DGRAM, 53);
    auto instance = StartInstance();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(instance->StandardError().find("127.0.0.1:53"), std::string::npos);
    holder.reset();
    EXPECT_EQ(RunOnce(kNimbrel, {"/s"}), 0);  // started again, it now binds
    EXPECT_TRUE(IsLocalAnswer(AskDns(kit::MakeQuery(1, "ads.example"))));
    Quit(kNimbrel, *instance);
}

}  // namespace
