#include "settings/KeptProfile.h"
#include "settings/ProfileStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/profile-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override {
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_folder);
    }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    void WriteFile(const std::string& path, const std::string& text) const {
        std::ofstream(path, std::ios::binary) << text;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_folder;
};

TEST_F(ProfileStoreTest, MissingFileReadsDefaults) {
    const ProfileStore profile(PathOf("NIMBREL.INI"));
    EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 0), 0);
    EXPECT_EQ(profile.ReadInt("Preferences", "Images", 1), 1);
    EXPECT_EQ(profile.ReadString("Proxy", "IP1", ""), "");
    EXPECT_EQ(profile.ReadString("Preferences", "FilterPath", "/here"), "/here");
    EXPECT_FALSE(fs::exists(PathOf("NIMBREL.INI")));
}

TEST_F(ProfileStoreTest, FirstWriteCreatesFolderAndFile) {
    const ProfileStore profile(PathOf("config/deeper/QUORVIN.INI"));
    EXPECT_TRUE(profile.WriteInt("Preferences", "HideOnStart", 1));
    EXPECT_EQ(ReadFile(PathOf("config/deeper/QUORVIN.INI")), "[Preferences]\nHideOnStart=1\n");
    EXPECT_EQ(profile.ReadInt("preferences", "hideonstart", 0), 1);
}

TEST_F(ProfileStoreTest, EveryCallSeesTheFileAsItIsNow) {
    const std::string path = PathOf("NIMBREL.INI");
    const ProfileStore profile(path);
    profile.WriteString("Proxy", "IP1", "10.0.0.1");
    WriteFile(path, "[Proxy]\nIP1=192.0.2.7\n");
    EXPECT_EQ(profile.ReadString("Proxy", "IP1", ""), "192.0.2.7");
    fs::remove(path);
    EXPECT_EQ(profile.ReadString("Proxy", "IP1", "gone"), "gone");
}

struct IntCase {
    const char* stored;
    int expected;
};

class ProfileIntTest : public ProfileStoreTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileIntTest, ReadsLikeThePlatformConversion) {
    const std::string path = PathOf("P.INI");
    WriteFile(path, std::string("[Proxy]\nUseCode=") + GetParam().stored + "\n");
    EXPECT_EQ(ProfileStore(path).ReadInt("Proxy", "UseCode", 77), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntTest,
                         ::testing::Values(IntCase{"33333", 33333}, IntCase{"-12", -12},
                                           IntCase{"+5", 5}, IntCase{"12abc", 12},
                                           IntCase{"abc", 0}, IntCase{"-", 0},
                                           IntCase{"  42  ", 42}, IntCase{"", 77},
                                           IntCase{"4294967297", 1}, IntCase{"1.9", 1}));

TEST_F(ProfileStoreTest, StringsAreCutAt4095Characters) {
    const std::string path = PathOf("P.INI");
    const ProfileStore profile(path);
    const std::string longValue(5000, 'x');
    ASSERT_TRUE(profile.WriteString("Preferences", "FilterPath", longValue));
    EXPECT_EQ(profile.ReadString("Preferences", "FilterPath", ""), std::string(4095, 'x'));
    EXPECT_EQ(profile.ReadString("Preferences", "Missing", longValue).size(), 4095u);
}

TEST_F(ProfileStoreTest, WriteIntStoresSignedDecimal) {
    const std::string path = PathOf("P.INI");
    const ProfileStore profile(path);
    profile.WriteInt("Proxy", "UseCode", 31000);
    profile.WriteInt("Proxy", "Other", -7);
    EXPECT_EQ(ReadFile(path), "[Proxy]\nUseCode=31000\nOther=-7\n");
}

TEST_F(ProfileStoreTest, WriteKeepsOtherLinesAndSectionsAsTheyWere) {
    const std::string path = PathOf("P.INI");
    WriteFile(path,
              "# "
              "mine\r\n[Preferences]\r\nHideOnStart=0\r\nFilterPath=/"
              "f\r\n\r\n[Proxy]\r\nIP1=1.1.1.1\r\n");
    const ProfileStore profile(path);
    profile.WriteInt("preferences", "hideonstart", 1);
    profile.WriteString("Proxy", "UseCode", "10000");
    EXPECT_EQ(ReadFile(path),
              "# mine\r\n[Preferences]\r\nhideonstart=1\r\nFilterPath=/f\r\n\r\n[Proxy]\r\n"
              "IP1=1.1.1.1\r\nUseCode=10000\r\n");
}

TEST_F(ProfileStoreTest, BinaryJunkProfileKeepsItsLinesOnWrite) {
    const std::string path = PathOf("P.INI");
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    WriteFile(path, junk);
    const ProfileStore profile(path);
    EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 3), 3);
    EXPECT_EQ(profile.ReadString("Proxy", "IP1", "none"), "none");
    ASSERT_TRUE(profile.WriteInt("Preferences", "HideOnStart", 1));
    const std::string after = ReadFile(path);
    EXPECT_EQ(after.substr(0, junk.size()), junk);
    EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 3), 1);
}

TEST_F(ProfileStoreTest, ValueWithLineBreakIsRefusedAndNothingChanges) {
    const std::string path = PathOf("P.INI");
    const ProfileStore profile(path);
    profile.WriteString("Preferences", "FilterPath", "/a");
    EXPECT_FALSE(profile.WriteString("Preferences", "FilterPath", "/a\n[Proxy]\nUseCode=33333"));
    EXPECT_EQ(profile.ReadString("Preferences", "FilterPath", ""), "/a");
    EXPECT_EQ(profile.ReadInt("Proxy", "UseCode", 0), 0);
}

TEST_F(ProfileStoreTest, UnwritableFolderFailsQuietlyAndReadsDefaults) {
    if (::geteuid() == 0) {
        // root ignores permission bits; use a path below a regular file instead
        WriteFile(PathOf("file"), "x");
        const ProfileStore profile(PathOf("file/sub/P.INI"));
        EXPECT_FALSE(profile.WriteInt("Preferences", "HideOnStart", 1));
        EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 5), 5);
        return;
    }
    fs::create_directory(PathOf("locked"));
    fs::permissions(PathOf("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    const ProfileStore profile(PathOf("locked/P.INI"));
    EXPECT_FALSE(profile.WriteInt("Preferences", "HideOnStart", 1));
    EXPECT_EQ(profile.ReadInt("Preferences", "HideOnStart", 5), 5);
}

TEST_F(ProfileStoreTest, WriteReplacesTheFileAtomicallyAndLeavesNoTemporaries) {
    const std::string path = PathOf("P.INI");
    WriteFile(path, "[Preferences]\nImages=1\n");
    ::chmod(path.c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const ProfileStore profile(path);
    ASSERT_TRUE(profile.WriteInt("Preferences", "Images", 0));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

TEST_F(ProfileStoreTest, SeveralKeysLandTogetherOrNotAtAll) {
    const std::string path = PathOf("P.INI");
    const std::string old = "[Proxy]\r\nIP1=1.1.1.1\r\nUseCode=10000\r\n";
    WriteFile(path, old);
    const ProfileStore profile(path);
    std::vector<ProfileEntry> entries;
    for (const char* key : {"IP1", "IP2", "IP3", "IP4", "IP5"}) {
        entries.push_back({"Proxy", key, std::string(40, 'a')});
    }
    entries.push_back({"Proxy", "UseCode", "1\n[Proxy]"});

    // The last value cannot be stored; then the file cannot grow past its size.
    EXPECT_FALSE(profile.WriteStrings(entries));
    entries.back().value = "33333";
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{old.size(), limit.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = profile.WriteStrings(entries);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);

    ASSERT_TRUE(profile.WriteStrings(entries));
    const std::string a40(40, 'a');
    EXPECT_EQ(ReadFile(path), "[Proxy]\r\nIP1=" + a40 + "\r\nUseCode=33333\r\nIP2=" + a40 +
                                  "\r\nIP3=" + a40 + "\r\nIP4=" + a40 + "\r\nIP5=" + a40 + "\r\n");
}

TEST_F(ProfileStoreTest, WriteThroughSymlinkKeepsTheLink) {
    const std::string target = PathOf("real.ini");
    const std::string link = PathOf("NIMBREL.INI");
    WriteFile(target, "[Proxy]\nIP1=1.1.1.1\n");
    fs::create_symlink(target, link);
    ProfileStore(link).WriteInt("Proxy", "UseCode", 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "[Proxy]\nIP1=1.1.1.1\nUseCode=1\n");
}

class DefaultPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        SaveEnv("XDG_CONFIG_HOME", m_savedConfig, m_hadConfig);
        SaveEnv("HOME", m_savedHome, m_hadHome);
    }
    void TearDown() override {
        RestoreEnv("XDG_CONFIG_HOME", m_savedConfig, m_hadConfig);
        RestoreEnv("HOME", m_savedHome, m_hadHome);
    }

private:
    static void SaveEnv(const char* name, std::string& value, bool& had) {
        const char* current = std::getenv(name);
        had = current != nullptr;
        value = had ? current : "";
    }
    static void RestoreEnv(const char* name, const std::string& value, bool had) {
        had ? ::setenv(name, value.c_str(), 1) : ::unsetenv(name);
    }
    std::string m_savedConfig, m_savedHome;
    bool m_hadConfig = false, m_hadHome = false;
};

TEST_F(DefaultPathTest, NamedAfterTheExecutableInUpperCase) {
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(ProfileStore::DefaultPath("/usr/bin/nimbrel"), "/cfg/NIMBREL.INI");
    EXPECT_EQ(ProfileStore::DefaultPath("./quorvin"), "/cfg/QUORVIN.INI");
    EXPECT_EQ(ProfileStore::DefaultPath("/opt/x/foo.bin"), "/cfg/FOO.INI");
    EXPECT_EQ(ProfileStore::DefaultPath(".hidden"), "/cfg/.HIDDEN.INI");
}

TEST_F(DefaultPathTest, FallsBackToDotConfigInHome) {
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(ProfileStore::DefaultPath("nimbrel"), "/home/u/.config/NIMBREL.INI");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(ProfileStore::DefaultPath("nimbrel"), "/home/u/.config/NIMBREL.INI");
}

}  // namespace

namespace {

class ProfileNotAFileTest : public ProfileStoreTest {};

TEST_F(ProfileNotAFileTest, PipeOrDeviceReadsDefaultsAtOnceAndIsNeverRewritten) {
    const std::string pipe = PathOf("PIPE.INI");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const ProfileStore fromPipe(pipe);
    EXPECT_EQ(fromPipe.ReadInt("Preferences", "Images", 7), 7);
    EXPECT_FALSE(fromPipe.WriteInt("Preferences", "Images", 0));
    EXPECT_TRUE(fs::is_fifo(pipe));

    fs::create_symlink("/dev/zero", PathOf("ZERO.INI"));
    EXPECT_EQ(ProfileStore(PathOf("ZERO.INI")).ReadString("Proxy", "IP1", "none"), "none");
}

TEST_F(ProfileStoreTest, KeptProfileSeesEveryChangeAtTheNextRead) {
    const std::string path = PathOf("KEPT.INI");
    const ProfileStore store(path);
    const ProfileStore other(path);
    CKeptProfile kept(store);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);
    other.WriteInt("S", "K", 1);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 1);
    other.WriteInt("S", "K", 2);  // same size, same second
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 2);
    WriteFile(path, "[S]\nK=33\n");  // rewritten in place
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 33);
    EXPECT_TRUE(kept.WriteInt("S", "K", 4));
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 4);
    EXPECT_EQ(other.ReadInt("S", "K", 7), 4);
    fs::remove(path);
    EXPECT_EQ(kept.ReadInt("S", "K", 7), 7);
}

}  // namespace
