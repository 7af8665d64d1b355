#include "shell/RuntimeFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// What stands at a path before the program looks for its folder.
enum class Planted { kNothing, kOwnPrivateFolder, kOwnOpenFolder, kStrangersFolder, kLink };

struct RuntimeCase {
    const char* label;
    Planted runtimeDir;  // at $XDG_RUNTIME_DIR
    Planted tempFolder;  // at <temp>/nimbrel-<uid>
    const char* chosen;  // "runtime", "temp" or "" for none
};

class RuntimeFolderTest : public ::testing::TestWithParam<RuntimeCase> {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/runtime-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directory(m_root + "/other");
    }
    void TearDown() override { fs::remove_all(m_root); }

    void Plant(const std::string& path, Planted what) {
        switch (what) {
            case Planted::kNothing:
                return;
            case Planted::kLink:
                fs::create_directory_symlink(m_root + "/other", path);
                return;
            default:
                fs::create_directory(path);
                ::chmod(path.c_str(), what == Planted::kOwnOpenFolder ? 0777 : 0700);
                if (what == Planted::kStrangersFolder) {
                    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
                }
        }
    }

    std::string m_root;
};

TEST_P(RuntimeFolderTest, OnlyAFolderOfThisUserClosedToOthersIsUsed) {
    const RuntimeCase& c = GetParam();
    if ((c.runtimeDir == Planted::kStrangersFolder || c.tempFolder == Planted::kStrangersFolder) &&
        ::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    const uid_t uid = ::geteuid();
    const std::string runtime = m_root + "/runtime";
    const std::string temp = m_root + "/nimbrel-" + std::to_string(uid);
    Plant(runtime, c.runtimeDir);
    Plant(temp, c.tempFolder);

    const RuntimePlace place = FindRuntimePlace(runtime.c_str(), m_root, uid);
    const std::string expected = std::string(c.chosen) == "runtime" ? runtime
                                 : std::string(c.chosen) == "temp"  ? temp
                                                                    : "";
    EXPECT_EQ(place.folder, expected);
    EXPECT_NE(place.problem.empty(), expected.empty()) << place.problem;
    if (expected == temp) {
        struct stat info {};
        ASSERT_EQ(::lstat(temp.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    EXPECT_TRUE(fs::is_empty(m_root + "/other"));
}

INSTANTIATE_TEST_SUITE_P(
    Places, RuntimeFolderTest,
    ::testing::Values(
        RuntimeCase{"RuntimeDir", Planted::kOwnPrivateFolder, Planted::kStrangersFolder, "runtime"},
        RuntimeCase{"NoRuntimeDir", Planted::kNothing, Planted::kNothing, "temp"},
        RuntimeCase{"OpenRuntimeDir", Planted::kOwnOpenFolder, Planted::kNothing, "temp"},
        RuntimeCase{"StrangersRuntimeDir", Planted::kStrangersFolder, Planted::kNothing, "temp"},
        RuntimeCase{"StrangersTempFolder", Planted::kNothing, Planted::kStrangersFolder, ""},
        RuntimeCase{"OpenTempFolder", Planted::kNothing, Planted::kOwnOpenFolder, ""},
        RuntimeCase{"LinkedTempFolder", Planted::kNothing, Planted::kLink, ""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
