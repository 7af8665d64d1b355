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

TEST_F(FilterListsTest, ListsOfBothFoldersJoinTheirSidesAndEachFileKeepsItsCounts) {
    m_folder.Write("named.txt", "# literal.example\n");
    m_folder.AddFolder("Block");
    m_folder.AddFolder("allow");
    m_folder.AddFolder("Block/nested");
    m_folder.Write("Block/hosts", "# hosts\n0.0.0.0 ads.example img.example\n::1 localhost\n");
    m_folder.Write("Block/easylist.txt", "||track.example^\n@@||ok.example^\n||x.example^$popup\n");
    m_folder.Write("Block/.hidden", "hidden.example\n");
    m_folder.Write("Block/nested/deep", "deep.example\n");
    m_folder.Write("allow/mine", "good.img.example\n");
    std::filesystem::create_symlink("/proc/self/mem", m_folder.Path() + "/allow/unreadable");
    testing::internal::CaptureStderr();
    m_lists.LoadFilters();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Nimbrel: cannot read the list " + m_folder.Path() +
                  "/allow/unreadable\nNimbrel: 5 names from 3 lists (2 lines skipped)\n");

    EXPECT_TRUE(m_lists.IsNamed("# literal.example"));  // named.txt has no comments
    EXPECT_TRUE(m_lists.IsNamed("cdn.img.example"));
    EXPECT_TRUE(m_lists.IsNamed("track.example"));
    EXPECT_FALSE(m_lists.IsNamed("hidden.example") || m_lists.IsNamed("deep.example"));
    EXPECT_FALSE(m_lists.IsNamed("x.example") || m_lists.IsNamed("localhost") ||
                 m_lists.IsNamed("ok.example"));
    EXPECT_TRUE(m_lists.IsPassed("ok.example"));  // an exception in a block list
    EXPECT_TRUE(m_lists.IsPassed("good.img.example"));
    EXPECT_FALSE(m_lists.IsPassed("ads.example"));

    std::string files;
    for (const ListFileCounts& file : m_lists.ListFiles()) {
        files += file.path.substr(m_folder.Path().size()) +
                 (file.folder == ListSide::kBlock ? " block" : " allow") +
                 (file.read ? " read " : " unread ") + std::to_string(file.counts.blockNames) +
                 " " + std::to_string(file.counts.allowNames) + " " +
                 std::to_string(file.counts.skippedLines) + "\n";
    }
    EXPECT_EQ(files,
              "/Block/easylist.txt block read 1 1 1\n/Block/hosts block read 2 0 1\n"
              "/allow/mine allow read 0 1 0\n/allow/unreadable allow unread 0 0 0\n");
}

TEST_F(FilterListsTest, LongListIsReadWithoutLosingALineWhereverItsReadsEnd) {
    // More lines than one read holds, of several lengths, and a comment longer than a read.
    std::string text = "#" + std::string(3u << 20, 'x') + "\n";
    const std::size_t count = 150000;
    for (std::size_t i = 0; i < count; ++i) {
        text += "n" + std::to_string(i) + ".example\n";
    }
    m_folder.AddFolder("block");
    m_folder.Write("block/long", text + "last.example");
    m_lists.LoadFilters();
    ASSERT_EQ(m_lists.ListFiles().at(0).counts.blockNames, count + 1);
    EXPECT_EQ(m_lists.NamedList().EntryCount(), count + 1);
    EXPECT_TRUE(m_lists.IsNamed("n0.example") && m_lists.IsNamed("last.example"));
}

TEST_F(FilterListsTest, FileTooLargeForMemoryAddsNothingWithOneLineEach) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator ends the program instead of throwing";
#endif
    std::filesystem::resize_file(m_folder.Write("named.txt", ""), std::uintmax_t{1} << 30);
    m_folder.AddFolder("block");
    std::filesystem::resize_file(m_folder.Write("block/big", ""), std::uintmax_t{1} << 30);
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
                "^Nimbrel: .*/block/big is too large to load\n"
                "Nimbrel: .*/named.txt is too large to load\n"
                "Nimbrel: 0 names from 0 lists \\(0 lines skipped\\)\n$");
}

TEST(ListLoadSummaryTest, CountsTakeThousandsSeparatorsAndSingularWords) {
    const auto file = [](bool read, std::size_t block, std::size_t allow, std::size_t skipped) {
        return ListFileCounts{"", ListSide::kBlock, read, {block, allow, skipped}};
    };
    EXPECT_EQ(ListLoadSummary({}), "0 names from 0 lists (0 lines skipped)");
    EXPECT_EQ(ListLoadSummary({file(true, 1, 0, 1), file(false, 0, 0, 0)}),
              "1 name from 1 list (1 line skipped)");
    EXPECT_EQ(ListLoadSummary({file(true, 1234000, 567, 24), file(true, 0, 0, 1000)}),
              "1,234,567 names from 2 lists (1,024 lines skipped)");
}

}  // namespace
