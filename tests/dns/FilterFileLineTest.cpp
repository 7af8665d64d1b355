#include "dns/FilterFileLine.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>

#include "tests/support/TempFolder.h"

namespace {

TEST(FilterFileLineTest, LineGoesAfterEveryByteWithTheFilesLineEnd) {
    // Columns: the file's text; what it becomes with "ads.example" added.
    const std::tuple<const char*, const char*> rows[] = {
        {"", "ads.example\n"},
        {"a.example\n", "a.example\nads.example\n"},
        {"a.example", "a.example\nads.example\n"},
        {"a.example\r\nb.example", "a.example\r\nb.example\r\nads.example\r\n"},
        {"\n\n# x \n", "\n\n# x \nads.example\n"},
        {"a.example\n  ADS.example\r\n", "a.example\n  ADS.example\r\n"},  // already listed
        {"ads.example", "ads.example"},
    };
    for (const auto& [text, added] : rows) {
        EXPECT_EQ(dns::WithLineAdded(text, "ads.example"), added) << text;
    }
}

TEST(FilterFileLineTest, OnlyNamesWithoutSpacesOrControlBytesAreListable) {
    const std::tuple<std::string, bool> rows[] = {{"_dmarc.x-y.example", true},
                                                  {"", false},
                                                  {"a b", false},
                                                  {"a\nb", false},
                                                  {"\x7f", false},
                                                  {std::string("a\0b", 3), false}};
    for (const auto& [name, listable] : rows) {
        EXPECT_EQ(dns::IsListableName(name), listable) << name;
    }
}

TEST(FilterFileLineTest, FileIsReplacedWithItsModeOrLeftWhenItCannotBeRead) {
    const kit::CTempFolder folder;
    const std::string path = folder.Write("pass.txt", "a.example");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(dns::AddFilterLine(path, "b.example"), dns::AddLineResult::kAdded);
    EXPECT_EQ(folder.Read("pass.txt"), "a.example\nb.example\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(dns::AddFilterLine(path, "B.example"), dns::AddLineResult::kAlreadyListed);

    EXPECT_EQ(dns::AddFilterLine(folder.Path() + "/new.txt", "c.example"),
              dns::AddLineResult::kAdded);
    // Something that is not a file to read is never replaced.
    const std::string other = folder.AddFolder("other.txt");
    EXPECT_EQ(dns::AddFilterLine(other, "d.example"), dns::AddLineResult::kFailed);
    EXPECT_TRUE(S_ISDIR((::stat(other.c_str(), &info), info.st_mode)));
}

}  // namespace
