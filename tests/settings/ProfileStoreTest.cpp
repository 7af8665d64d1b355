#include "settings/ProfileStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

// Nothing is cached, a missing file reads as defaults, and the first write creates it
// with its folders. A profile that is a pipe cannot be read and is never rewritten.
TEST(ProfileStoreTest, EveryCallGoesToTheFileAsItIsNow) {
    const kit::CTempFolder folder("config/deeper/QUORVIN.INI");
    const ProfileStore& profile = folder.Profile();
    EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 5), 5);
    EXPECT_TRUE(profile.WriteInt("Preferences", "HideOnStart", -7));
    EXPECT_EQ(folder.Read("config/deeper/QUORVIN.INI"), "[Preferences]\nHideOnStart=-7\n");
    fs::remove(profile.Path());
    ASSERT_EQ(::mkfifo(profile.Path().c_str(), 0600), 0);
    EXPECT_EQ(profile.ReadString("Preferences", "HideOnStart", std::string(5000, 'x')),
              std::string(4095, 'x'));
    EXPECT_FALSE(profile.WriteInt("Preferences", "HideOnStart", 1));
    EXPECT_TRUE(fs::is_fifo(profile.Path()));
}

// The new text goes to a temporary file that replaces the old one, so a reader sees all
// of a write or none of it; the file keeps its mode, and a link stays a link.
TEST(ProfileStoreTest, WriteReplacesTheFileWholeOrNotAtAll) {
    const kit::CTempFolder folder;
    const std::string old = "[Proxy]\r\nIP1=1\r\n";
    const std::string path = folder.Write("real.ini", old);
    ::chmod(path.c_str(), 0640);
    fs::create_symlink(path, folder.Profile().Path());
    std::vector<ProfileEntry> entries{{"Proxy", "IP1", std::string(40, 'a')},
                                      {"Proxy", "UseCode", "1\n[Proxy]"}};
    EXPECT_FALSE(folder.Profile().WriteStrings(entries));  // the last one cannot be stored
    entries.back().value = "33333";
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{old.size(), limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = folder.Profile().WriteStrings(entries);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(folder.Read("real.ini"), old);

    ASSERT_TRUE(folder.Profile().WriteStrings(entries));
    EXPECT_EQ(folder.Read("real.ini"),
              "[Proxy]\r\nIP1=" + std::string(40, 'a') + "\r\nUseCode=33333\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.Profile().Path()));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 2);
}

// Each test runs in a process of its own, so the environment it sets goes with it.
TEST(ProfileStoreTest, DefaultPathIsTheExecutablesNameInUpperCaseInTheConfigFolder) {
    const struct {
        const char* configHome;  // XDG_CONFIG_HOME, or unset
        const char* executable;
        const char* expected;
    } rows[] = {{"/cfg", "/usr/bin/nimbrel", "/cfg/NIMBREL.INI"},
                {"/cfg", "/opt/x/foo.bin", "/cfg/FOO.INI"},
                {"/cfg", ".hidden", "/cfg/.HIDDEN.INI"},
                {nullptr, "quorvin", "/home/u/.config/QUORVIN.INI"},
                {"relative/ignored", "nimbrel", "/home/u/.config/NIMBREL.INI"}};
    ::setenv("HOME", "/home/u", 1);
    for (const auto& row : rows) {
        row.configHome ? ::setenv("XDG_CONFIG_HOME", row.configHome, 1)
                       : ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(ProfileStore::DefaultPath(row.executable), row.expected) << row.executable;
    }
}
