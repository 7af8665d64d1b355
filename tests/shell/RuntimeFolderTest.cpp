#include "shell/RuntimeFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// What stands at a path before the program looks for its folder: nothing, a folder with
// these permissions (of another user's when `strangers`), or a link to a folder.
struct Planted {
    bool exists;
    fs::perms mode = fs::perms::owner_all;
    bool strangers = false;
    bool link = false;
};

constexpr Planted kNothing{false};
constexpr Planted kPrivate{true};
constexpr Planted kOpen{true, fs::perms::all};
constexpr Planted kStrangers{true, fs::perms::owner_all, true};
constexpr Planted kLink{true, fs::perms::owner_all, false, true};

struct RuntimeCase {
    Planted runtimeDir;  // at $XDG_RUNTIME_DIR
    Planted tempFolder;  // at <temp>/nimbrel-<uid>
    char chosen;         // 'r' the runtime dir, 't' the temp folder, '-' none
};

class RuntimeFolderTest : public ::testing::TestWithParam<RuntimeCase> {};

TEST_P(RuntimeFolderTest, OnlyAFolderOfThisUserClosedToOthersIsUsed) {
    const RuntimeCase& c = GetParam();
    if ((c.runtimeDir.strangers || c.tempFolder.strangers) && ::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    char pattern[] = "/tmp/runtime-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const uid_t uid = ::geteuid();
    const std::string runtime = root + "/runtime";
    const std::string temp = root + "/nimbrel-" + std::to_string(uid);
    fs::create_directory(root + "/target");
    for (const auto& [path, planted] : {std::pair{runtime, c.runtimeDir}, {temp, c.tempFolder}}) {
        if (planted.link) {
            fs::create_directory_symlink(root + "/target", path);
        } else if (planted.exists) {
            fs::create_directory(path);
            fs::permissions(path, planted.mode);
            ASSERT_TRUE(!planted.strangers || ::chown(path.c_str(), 65534, 65534) == 0);
        }
    }

    const RuntimePlace place = FindRuntimePlace(runtime.c_str(), root, uid);
    const std::string expected = c.chosen == 'r' ? runtime : c.chosen == 't' ? temp : "";
    EXPECT_EQ(place.folder, expected);
    EXPECT_NE(place.problem.empty(), expected.empty()) << place.problem;
    EXPECT_TRUE(c.chosen != 't' || fs::status(temp).permissions() == fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(root + "/target"));
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(
    Places, RuntimeFolderTest,
    ::testing::Values(RuntimeCase{kPrivate, kStrangers, 'r'}, RuntimeCase{kNothing, kNothing, 't'},
                      RuntimeCase{kOpen, kNothing, 't'}, RuntimeCase{kStrangers, kNothing, 't'},
                      RuntimeCase{kNothing, kStrangers, '-'}, RuntimeCase{kNothing, kOpen, '-'},
                      RuntimeCase{kNothing, kLink, '-'}));

}  // namespace
