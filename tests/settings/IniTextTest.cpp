#include "settings/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace std::string_literals;

TEST(IniTextTest, NamesMatchInAnyCaseAndTheFirstOfANameWins) {
    const std::string text =
        "k=0\n[Preferences]\r\n  HideOnStart =  1  \r\n[proxy]\nip1=\"10.0.0.1\"\nIP2='8.8.8.8'\n"
        "IP3=\"unbalanced'\nip1=2\n\x01\xff[\0junk\n[PROXY]\nIP4=4\n"s;
    const struct {
        const char* section;
        const char* key;
        std::optional<std::string_view> value;
    } rows[] = {{"preferences", "hideonstart", "1"},
                {"PROXY", "IP1", "10.0.0.1"},
                {"Proxy", "ip2", "8.8.8.8"},
                {"Proxy", "IP3", "\"unbalanced'"},
                {"Proxy", "HideOnStart", {}},
                {"Missing", "IP1", {}},
                {"Proxy", "IP4", {}},
                {"Preferences", "k", {}}};
    for (const auto& row : rows) {
        EXPECT_EQ(ini::FindValue(text, row.section, row.key), row.value) << row.key;
    }
}

TEST(IniTextTest, SettingAValueChangesOneLineOrAddsItAndKeepsEveryOtherByte) {
    const struct {
        std::string text;
        const char* section;
        std::string expected;
    } rows[] = {{"; c\r\n[S]\r\nA=1\r\n  k = old  \r\nc=3\r\n\r\n[T]\r\nk=x\r\n", "s",
                 "; c\r\n[S]\r\nA=1\r\nK=v\r\nc=3\r\n\r\n[T]\r\nk=x\r\n"},
                {"[S]\na=1\n\n[T]\nx=1\n", "S", "[S]\na=1\nK=v\n\n[T]\nx=1\n"},
                {"[S]", "S", "[S]\nK=v\n"},
                {"[S]\na=1", "S", "[S]\na=1\nK=v\n"},
                {"", "P", "[P]\nK=v\n"},
                {"[S]\r\na=1", "P", "[S]\r\na=1\r\n\r\n[P]\r\nK=v\r\n"},
                {"\x01\xff[\0j\n[S]\n\xfe=\x80\nk=old\n\0"s, "S",
                 "\x01\xff[\0j\n[S]\n\xfe=\x80\nK=v\n\0"s}};
    for (const auto& row : rows) {
        EXPECT_EQ(ini::SetValue(row.text, row.section, "K", "v"), row.expected) << row.text;
    }
}

TEST(IniTextTest, IntegerIsReadLikeThePlatformConversion) {
    const struct {
        std::optional<std::string_view> value;
        int expected;
    } rows[] = {{"33333", 33333}, {"-12", -12}, {"+5", 5}, {"12abc", 12},     {"abc", 0},
                {"-", 0},         {"", 77},     {{}, 77},  {"4294967297", 1}, {"1.9", 1}};
    for (const auto& row : rows) {
        EXPECT_EQ(ini::IntValue(row.value, 77), row.expected) << row.value.value_or("(none)");
    }
}
