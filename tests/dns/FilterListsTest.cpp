#include "dns/FilterLists.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "RecordingActivity.h"
#include "settings/ProfileKeys.h"
#include "tests/support/TempFolder.h"

namespace {

class FilterListsTest : public ::testing::Test {
protected:
    FilterListsTest() {
        m_folder.Profile().WriteString(profile::kPreferences, profile::kFilterPath,
                                       m_folder.Path());
    }

    kit::CTempFolder m_folder;
    CRecordingActivity m_activity{IActivitySink::kStopped};
    CFilterLists m_lists{m_folder.Profile(), &m_activity};
};

TEST_F(FilterListsTest, FilesAreFoundWhateverTheLetterCaseOfTheirNamesAndReadAgainEachLoad) {
    m_folder.Write("Named.txt", "second.example\n");
    m_folder.Write("NAMED.TXT", "first.example\n");
    m_folder.Write("PASS.TXT", "good.first.example");
    m_lists.LoadFilters();
    EXPECT_TRUE(m_lists.IsNamed("img.first.example"));  // the first name in byte order
    EXPECT_FALSE(m_lists.IsNamed("second.example"));
    EXPECT_TRUE(m_lists.IsPassed("good.first.example"));
    // Loading shows its own state, then restores the one it found.
    EXPECT_EQ(m_activity.shown, (std::vector<int>{4, 0}));
    // The lower-case name wins; a list whose file is gone, or is no file, is empty.
    m_folder.Write("named.txt", "exact.example\n");
    std::filesystem::remove(m_folder.Path() + "/PASS.TXT");
    m_folder.AddFolder("pass.txt");
    m_lists.LoadFilters();
    EXPECT_TRUE(m_lists.IsNamed("exact.example"));
    EXPECT_FALSE(m_lists.IsNamed("img.first.example"));
    EXPECT_FALSE(m_lists.IsPassed("good.first.example"));
}

TEST_F(FilterListsTest, ListTooLargeForMemoryIsLeftEmptyWithOneLine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator ends the program instead of throwing";
#endif
    std::filesystem::resize_file(m_folder.Write("named.txt", ""), std::uintmax_t{1} << 30);
    m_folder.Write("pass.txt", "b.example\n");
    // Room for the program and a little more, not for the list.
    const auto loadWithLittleRoom = [this] {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit room{pages * ::sysconf(_SC_PAGESIZE) + (256u << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &room);
        m_lists.LoadFilters();
        std::exit(m_lists.NamedList().EntryCount() == 0 && m_lists.IsPassed("b.example") ? 0 : 1);
    };
    EXPECT_EXIT(loadWithLittleRoom(), ::testing::ExitedWithCode(0),
                "^Nimbrel: .*/named.txt is too large to load\n$");
}

}  // namespace
