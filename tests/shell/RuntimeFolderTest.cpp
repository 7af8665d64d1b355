#include "shell/RuntimeFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// What stands at a path before the program looks for its folder.
enum class Planted { kNothing, kPrivate, kOpen, kStrangers, kLink };

struct RuntimeCase {
    const char* name;
    Planted runtimeDir;  // at $XDG_RUNTIME_DIR
    Planted tempFolder;  // at <temp>/nimbrel-<uid>
    char chosen;         // 'r' the runtime dir, 't' the temp folder, '-' none
};

class RuntimeFolderTest : public ::testing::TestWithParam<RuntimeCase> {};

TEST_P(RuntimeFolderTest, OnlyAFolderOfThisUserClosedToOthersIsUsed) {
    const RuntimeCase& c = GetParam();
    if ((c.runtimeDir == Planted::kStrangers || c.tempFolder == Planted::kStrangers) &&
        ::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    const kit::CTempFolder root;
    const uid_t uid = ::geteuid();
    const std::string runtime = root.Path() + "/runtime";
    const std::string temp = root.Path() + "/nimbrel-" + std::to_string(uid);
    const std::string target = root.AddFolder("target");
    for (const auto& [path, planted] : {std::pair{runtime, c.runtimeDir}, {temp, c.tempFolder}}) {
        if (planted == Planted::kLink) {
            fs::create_directory_symlink(target, path);
        } else if (planted != Planted::kNothing) {
            fs::create_directory(path);
            ::chmod(path.c_str(), planted == Planted::kOpen ? 0777 : 0700);
            ASSERT_TRUE(planted != Planted::kStrangers || ::chown(path.c_str(), 65534, 65534) == 0);
        }
    }
    const RuntimePlace place = FindRuntimePlace(runtime.c_str(), root.Path(), uid);
    const std::string expected = c.chosen == 'r' ? runtime : c.chosen == 't' ? temp : "";
    EXPECT_EQ(place.folder, expected);
    EXPECT_NE(place.problem.empty(), expected.empty()) << place.problem;
    EXPECT_TRUE(c.chosen != 't' || fs::status(temp).permissions() == fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(target));
}

using P = Planted;
INSTANTIATE_TEST_SUITE_P(
    Places, RuntimeFolderTest,
    ::testing::Values(RuntimeCase{"PrivateRuntimeDirWins", P::kPrivate, P::kStrangers, 'r'},
                      RuntimeCase{"NoRuntimeDirMakesTheTempFolder", P::kNothing, P::kNothing, 't'},
                      RuntimeCase{"OpenRuntimeDirIsPassedOver", P::kOpen, P::kNothing, 't'},
                      RuntimeCase{"StrangersRuntimeDirIsPassedOver", P::kStrangers, P::kNothing,
                                  't'},
                      RuntimeCase{"StrangersTempFolderIsRefused", P::kNothing, P::kStrangers, '-'},
                      RuntimeCase{"OpenTempFolderIsRefused", P::kNothing, P::kOpen, '-'},
                      RuntimeCase{"LinkedTempFolderIsRefused", P::kNothing, P::kLink, '-'}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
