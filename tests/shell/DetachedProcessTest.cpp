#include "shell/DetachedProcess.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/HeadlessDesktop.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPollRounds = 1000;
constexpr useconds_t kPollPauseUs = 10000;

class DetachedProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/nq-detached-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    // The text a started program leaves in `name` (written elsewhere, then renamed into
    // place); empty if it never arrives.
    std::string AwaitFile(const std::string& name) const {
        const std::string path = m_folder + "/" + name;
        for (int round = 0; round < kPollRounds && !fs::exists(path); ++round) {
            ::usleep(kPollPauseUs);
        }
        std::ifstream file(path);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string m_folder;
};

TEST_F(DetachedProcessTest, ProgramRunsAsNoChildOfOursAndInheritsNoDescriptor) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);  // inheritable on purpose
    struct stat pipeStat {};
    ASSERT_EQ(::fstat(pipeFds[0], &pipeStat), 0);

    const std::string script = "ls -l /proc/self/fd/ > '" + m_folder + "/fds.tmp' && mv '" +
                               m_folder + "/fds.tmp' '" + m_folder + "/fds'";
    ASSERT_TRUE(StartDetached({"sh", "-c", script}));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    const std::string fds = AwaitFile("fds");
    EXPECT_NE(fds.find("/proc/"), std::string::npos) << fds;
    EXPECT_EQ(fds.find("pipe:[" + std::to_string(pipeStat.st_ino) + "]"), std::string::npos) << fds;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

TEST_F(DetachedProcessTest, MissingProgramIsStillStartedAndNothingIsReported) {
    EXPECT_TRUE(StartDetached({"/nonexistent/editor", "file"}));
    EXPECT_FALSE(StartDetached({}));
}

TEST_F(DetachedProcessTest, HeadlessDesktopHandsTheFileToXdgOpenButOpensNoDialog) {
    // Stands in for the user's editor: records the file it is given.
    const std::string launcher = m_folder + "/xdg-open";
    std::ofstream(launcher) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                               "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n";
    fs::permissions(launcher, fs::perms::owner_all);
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", (m_folder + ":" + path).c_str(), 1);

    CHeadlessDesktop desktop;
    desktop.OpenInEditor("/srv/lists/Named.txt");
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(AwaitFile("opened"), "/srv/lists/Named.txt");

    std::string folder = "unchanged";
    EXPECT_FALSE(desktop.ChooseFolder("Select Filter Folder", "/srv", folder));
    EXPECT_EQ(folder, "unchanged");
}

}  // namespace
