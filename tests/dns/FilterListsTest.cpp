#include "dns/FilterLists.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dns/ActivitySink.h"
#include "dns/FilterFile.h"
#include "settings/ProfileStore.h"

namespace fs = std::filesystem;

namespace {

class RecordingActivity : public IActivitySink {
public:
    explicit RecordingActivity(int state) : m_state(state) {}
    int Activity() const override { return m_state; }
    void SetActivity(int state) override {
        m_state = state;
        shown.push_back(state);
    }
    std::vector<int> shown;

private:
    int m_state;
};

class FilterListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/filter-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_lists = m_root / "lists";
        fs::create_directory(m_lists);
        m_profile = std::make_unique<ProfileStore>((m_root / "NIMBREL.INI").string());
    }
    void TearDown() override { fs::remove_all(m_root); }

    void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    void UseFolder(const std::string& folder) {
        m_profile->WriteString("Preferences", "FilterPath", folder);
    }

    fs::path m_root;
    fs::path m_lists;
    std::unique_ptr<ProfileStore> m_profile;
};

TEST_F(FilterListsTest, LoadsBothFilesFromTheFilterFolder) {
    Write(m_lists / "named.txt", "ads.example\r\nTracker.Example\n");
    Write(m_lists / "pass.txt", "good.ads.example");
    UseFolder(m_lists.string());
    CFilterLists lists(*m_profile, nullptr);
    lists.LoadFilters();
    EXPECT_TRUE(lists.IsNamed("img.ads.example"));
    EXPECT_TRUE(lists.IsNamed("tracker.example"));
    EXPECT_FALSE(lists.IsNamed("example"));
    EXPECT_TRUE(lists.IsPassed("good.ads.example"));
    EXPECT_FALSE(lists.IsPassed("img.ads.example"));
}

TEST_F(FilterListsTest, WithoutFilterPathTheCurrentFolderIsUsed) {
    Write(m_lists / "named.txt", "here.example\n");
    const fs::path before = fs::current_path();
    fs::current_path(m_lists);
    CFilterLists lists(*m_profile, nullptr);
    lists.LoadFilters();
    fs::current_path(before);
    EXPECT_TRUE(lists.IsNamed("here.example"));
}

TEST_F(FilterListsTest, ShowsLoadingThenRestoresTheStateItFound) {
    UseFolder(m_lists.string());
    RecordingActivity activity(IActivitySink::kStopped);
    CFilterLists lists(*m_profile, &activity);
    lists.LoadFilters();
    EXPECT_EQ(activity.shown, (std::vector<int>{4, 0}));
    EXPECT_EQ(activity.Activity(), 0);
}

TEST_F(FilterListsTest, MissingFileLeavesOnlyItsListEmpty) {
    Write(m_lists / "pass.txt", "pass.example\n");
    UseFolder(m_lists.string());
    CFilterLists lists(*m_profile, nullptr);
    lists.LoadFilters();
    EXPECT_EQ(lists.NamedList().EntryCount(), 0u);
    EXPECT_TRUE(lists.IsPassed("pass.example"));
}

TEST_F(FilterListsTest, ReloadEmptiesListsWhoseFilesAreGoneOrUnreadable) {
    Write(m_lists / "named.txt", "a.example\n");
    Write(m_lists / "pass.txt", "b.example\n");
    UseFolder(m_lists.string());
    CFilterLists lists(*m_profile, nullptr);
    lists.LoadFilters();
    ASSERT_TRUE(lists.IsNamed("a.example"));
    fs::remove(m_lists / "named.txt");
    fs::remove(m_lists / "pass.txt");
    fs::create_directory(m_lists / "pass.txt");  // exists, but cannot be read as a file
    ASSERT_EQ(::mkfifo((m_lists / "named.txt").c_str(), 0600), 0);  // would never end
    lists.LoadFilters();
    EXPECT_FALSE(lists.IsNamed("a.example"));
    EXPECT_FALSE(lists.IsPassed("b.example"));
}

TEST_F(FilterListsTest, ListTooLargeForMemoryIsLeftEmptyWithOneLine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator ends the program instead of throwing";
#endif
    std::ofstream(m_lists / "named.txt").close();
    fs::resize_file(m_lists / "named.txt", std::uintmax_t{1} << 30);  // sparse, 1 GiB
    Write(m_lists / "pass.txt", "b.example\n");
    UseFolder(m_lists.string());
    // Room for the program and a little more, not for the list.
    const auto loadWithLittleRoom = [this] {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit room{pages * ::sysconf(_SC_PAGESIZE) + (256u << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &room);
        CFilterLists lists(*m_profile, nullptr);
        lists.LoadFilters();
        std::exit(lists.NamedList().EntryCount() == 0 && lists.IsPassed("b.example") ? 0 : 1);
    };
    EXPECT_EXIT(loadWithLittleRoom(), ::testing::ExitedWithCode(0),
                "^Nimbrel: .*/named.txt is too large to load\n$");
}

TEST_F(FilterListsTest, FolderThatDoesNotExistGivesEmptyLists) {
    UseFolder((m_root / "nowhere").string());
    RecordingActivity activity(IActivitySink::kIdle);
    CFilterLists lists(*m_profile, &activity);
    lists.LoadFilters();
    EXPECT_EQ(lists.NamedList().EntryCount(), 0u);
    EXPECT_EQ(lists.PassList().EntryCount(), 0u);
    EXPECT_EQ(activity.shown, (std::vector<int>{4, 1}));
}

TEST_F(FilterListsTest, FileNamesMatchWithoutRegardToLetterCase) {
    Write(m_lists / "Named.txt", "mixed.example\n");
    Write(m_lists / "PASS.TXT", "upper.example\n");
    UseFolder(m_lists.string() + "/");
    CFilterLists lists(*m_profile, nullptr);
    lists.LoadFilters();
    EXPECT_TRUE(lists.IsNamed("mixed.example"));
    EXPECT_TRUE(lists.IsPassed("upper.example"));
}

TEST_F(FilterListsTest, FilterFilePathPrefersTheLowerCaseNameAndKeepsTheFolderText) {
    const std::string folder = m_lists.string() + "/";
    EXPECT_EQ(FilterFilePath(folder, "named.txt"), folder + "/named.txt");
    Write(m_lists / "NAMED.TXT", "");
    Write(m_lists / "Named.txt", "");
    EXPECT_EQ(FilterFilePath(folder, "named.txt"), folder + "/NAMED.TXT");
    Write(m_lists / "named.txt", "");
    EXPECT_EQ(FilterFilePath(folder, "named.txt"), folder + "/named.txt");
}

}  // namespace
