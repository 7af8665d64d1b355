#include "settings/IniText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IniTextTest, FindsValuesIgnoringCaseAndSurroundingSpace) {
    const std::string text =
        "[Preferences]\r\n"
        "  HideOnStart =  1  \r\n"
        "[proxy]\n"
        "ip1=\"10.0.0.1\"\n"
        "IP2='8.8.8.8'\n"
        "IP3=\"unbalanced'\n";
    EXPECT_EQ(ini::FindValue(text, "preferences", "hideonstart"), "1");
    EXPECT_EQ(ini::FindValue(text, "PROXY", "IP1"), "10.0.0.1");
    EXPECT_EQ(ini::FindValue(text, "Proxy", "ip2"), "8.8.8.8");
    EXPECT_EQ(ini::FindValue(text, "Proxy", "IP3"), "\"unbalanced'");
    EXPECT_FALSE(ini::FindValue(text, "Proxy", "HideOnStart"));
    EXPECT_FALSE(ini::FindValue(text, "Missing", "IP1"));
}

TEST(IniTextTest, FirstSectionAndFirstKeyOfANameWin) {
    const std::string text = "[A]\nk=1\nk=2\n[a]\nk=3\nother=4\n";
    EXPECT_EQ(ini::FindValue(text, "A", "k"), "1");
    EXPECT_FALSE(ini::FindValue(text, "A", "other"));
}

TEST(IniTextTest, KeysBeforeAnySectionBelongToNone) {
    EXPECT_FALSE(ini::FindValue("k=1\n[S]\n", "S", "k"));
}

TEST(IniTextTest, ReplacingAKeyKeepsEveryOtherByte) {
    const std::string text = "; comment\r\n[S]\r\nA=1\r\n  b = old  \r\nc=3\r\n\r\n[T]\r\nb=x\r\n";
    EXPECT_EQ(ini::SetValue(text, "s", "B", "new"),
              "; comment\r\n[S]\r\nA=1\r\nB=new\r\nc=3\r\n\r\n[T]\r\nb=x\r\n");
}

TEST(IniTextTest, NewKeyGoesAfterTheSectionsLastLineBeforeBlankLines) {
    EXPECT_EQ(ini::SetValue("[S]\na=1\n\n[T]\nx=1\n", "S", "b", "2"),
              "[S]\na=1\nb=2\n\n[T]\nx=1\n");
    EXPECT_EQ(ini::SetValue("[S]", "S", "b", "2"), "[S]\nb=2\n");
    EXPECT_EQ(ini::SetValue("[S]\na=1", "S", "b", "2"), "[S]\na=1\nb=2\n");
}

TEST(IniTextTest, NewSectionIsAppendedWithTheFilesLineEnds) {
    EXPECT_EQ(ini::SetValue("", "Proxy", "IP1", "1.2.3.4"), "[Proxy]\nIP1=1.2.3.4\n");
    EXPECT_EQ(ini::SetValue("[S]\r\na=1", "Proxy", "UseCode", "0"),
              "[S]\r\na=1\r\n\r\n[Proxy]\r\nUseCode=0\r\n");
}

TEST(IniTextTest, BinaryJunkIsKeptAndSkipped) {
    using namespace std::string_literals;
    const std::string text = "\x01\x02\xff[\0junk\n[S]\n\xfe=\x80\nk=v\n\0\0\0"s;
    EXPECT_EQ(ini::FindValue(text, "S", "k"), "v");
    const std::string edited = ini::SetValue(text, "S", "k", "w");
    std::string expected = text;
    expected.replace(expected.find("k=v"), 3, "k=w");
    EXPECT_EQ(edited, expected);
}

TEST(IniTextTest, RefusesNamesAndValuesThatCannotBeReadBack) {
    EXPECT_FALSE(ini::IsStorableValue("a\nb"));
    EXPECT_FALSE(ini::IsStorableValue("a\rb"));
    EXPECT_TRUE(ini::IsStorableValue(""));
    EXPECT_FALSE(ini::IsStorableKey("a=b"));
    EXPECT_FALSE(ini::IsStorableKey("  "));
    EXPECT_FALSE(ini::IsStorableKey("[x"));
    EXPECT_FALSE(ini::IsStorableSection("a]b"));
    EXPECT_TRUE(ini::IsStorableSection("Preferences"));
}

}  // namespace
