#include "dns/NameFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dns/ReferenceMatcher.h"

namespace {

CNameFilter FilterOf(const std::string& text) {
    CNameFilter filter;
    filter.Assign(text);
    return filter;
}

std::vector<std::string> EntriesOf(const CNameFilter& filter) {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < filter.EntryCount(); ++i) {
        entries.emplace_back(filter.Entry(i));
    }
    return entries;
}

struct MatchCase {
    const char* entry;
    const char* name;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << "entry '" << c.entry << "' name '" << c.name << "'";
}

class MatchRuleTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchRuleTest, RuleAndIndexAgree) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(MatchesEntry(c.entry, c.name), c.matches);
    EXPECT_EQ(FilterOf(std::string(c.entry) + "\n").Matches(c.name), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    LabelBoundaries, MatchRuleTest,
    ::testing::Values(MatchCase{"ads.example", "ads.example", true},
                      MatchCase{"ads.example", "img.ads.example", true},
                      MatchCase{"ads.example", "ads.example.net", true},
                      MatchCase{"ads.example", "a.ads.example.b", true},
                      MatchCase{"ads.example", "bads.example", false},
                      MatchCase{"ads.example", "ads.examples", false},
                      // only the first occurrence counts, even when a later one would match
                      MatchCase{"ads", "x.loads.ads.example", false},
                      MatchCase{"b.c", "ab.c.b.c", false}, MatchCase{"ads", "ads.x.ads", true},
                      // bytes compare exactly: capitals in the name never meet lower-case entries
                      MatchCase{"ads.example", "Ads.Example", false},
                      MatchCase{"ads.example ", "ads.example", false},
                      // the empty entry matches the root, and names that start with a dot
                      MatchCase{"", "", true}, MatchCase{"", "ads.example", false},
                      MatchCase{"", ".hidden", true}, MatchCase{"", "a..b", false},
                      MatchCase{".example", "a..example", true},
                      MatchCase{"example.", "example..a", true}, MatchCase{"ads", "ads.", true},
                      MatchCase{"ads", ".ads", true}));

TEST(NameFilterTest, LinesBecomeEntries) {
    const CNameFilter filter = FilterOf("  Ads.Example\r\n\tTRACK.example.COM \n\n\v\fx\ry\nlast");
    EXPECT_EQ(EntriesOf(filter),
              (std::vector<std::string>{"ads.example", "track.example.com ", "", "x\ry", "last"}));
}

TEST(NameFilterTest, TrailingSpaceIsKeptSoTheEntryMatchesNoOrdinaryName) {
    const CNameFilter filter = FilterOf("ads.example \n");
    EXPECT_FALSE(filter.Matches("ads.example"));
    EXPECT_FALSE(filter.Matches("img.ads.example"));
}

TEST(NameFilterTest, EmptyLineMatchesTheRootOnly) {
    const CNameFilter filter = FilterOf("\nads.example\n");
    EXPECT_TRUE(filter.Matches(""));
    EXPECT_TRUE(filter.Matches("ads.example"));
    EXPECT_FALSE(filter.Matches("other.example"));
}

TEST(NameFilterTest, EmptyTextAndClearedFilterMatchNothing) {
    CNameFilter filter = FilterOf("");
    EXPECT_EQ(filter.EntryCount(), 0u);
    EXPECT_FALSE(filter.Matches(""));
    filter.Assign("a\n");
    filter.Clear();
    EXPECT_FALSE(filter.Matches("a"));
}

TEST(NameFilterTest, NulBytesAndLongLinesAreOrdinaryBytes) {
    std::string text("nul\0byte\n", 9);
    const std::string longLine(10 * 1024 * 1024, 'q');
    text += longLine + "\nshort\n";
    const CNameFilter filter = FilterOf(text);
    ASSERT_EQ(filter.EntryCount(), 3u);
    EXPECT_EQ(filter.Entry(0), std::string_view("nul\0byte", 8));
    EXPECT_TRUE(filter.Matches(std::string_view("x.nul\0byte", 10)));
    EXPECT_FALSE(filter.Matches("x.nul"));
    EXPECT_EQ(filter.Entry(1).size(), longLine.size());
    EXPECT_TRUE(filter.Matches("a." + longLine));
    EXPECT_TRUE(filter.Matches("short.example"));
}

TEST(NameFilterTest, DuplicateLinesAreHarmless) {
    const CNameFilter filter = FilterOf("a.b\na.b\nA.B\n");
    EXPECT_EQ(filter.EntryCount(), 3u);
    EXPECT_TRUE(filter.Matches("x.a.b"));
}

// Random lists and names over a small alphabet that makes the quirks common: entries
// inside labels, twice in a name, empty entries, spaces and dots at entry edges, capitals,
// and bytes that are not letters.
class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    std::string Label() {
        static const std::string kAlphabet =
            std::string("abab.-AB 0\xff", 11) + std::string(1, '\0');
        std::string label;
        const int length = Pick(0, 4);
        for (int i = 0; i < length; ++i) {
            label.push_back(kAlphabet[static_cast<std::size_t>(
                Pick(0, static_cast<int>(kAlphabet.size()) - 1))]);
        }
        return label;
    }

    std::string Name() {
        std::string name = Label();
        const int labels = Pick(0, 5);
        for (int i = 0; i < labels; ++i) {
            name += "." + Label();
        }
        return name;
    }

    // A line of a filter file: often a piece of a name, sometimes with capitals, leading
    // blanks, a trailing space or a CR before the line end.
    std::string Line(const std::vector<std::string>& names) {
        std::string line;
        const std::string& source =
            names[static_cast<std::size_t>(Pick(0, static_cast<int>(names.size()) - 1))];
        switch (Pick(0, 3)) {
            case 0:
                line = Label();
                break;
            case 1:
                line = Name();
                break;
            default: {
                const int from = Pick(0, static_cast<int>(source.size()));
                line = source.substr(
                    static_cast<std::size_t>(from),
                    static_cast<std::size_t>(Pick(0, static_cast<int>(source.size()) - from)));
            }
        }
        if (Pick(0, 7) == 0) {
            line =
                std::string(static_cast<std::size_t>(Pick(1, 2)), Pick(0, 1) ? ' ' : '\t') + line;
        }
        if (Pick(0, 7) == 0) {
            line += ' ';
        }
        return line + (Pick(0, 3) == 0 ? "\r\n" : "\n");
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    std::mt19937 m_random;
};

TEST(NameFilterTest, IndexGivesTheRulesAnswerOnRandomListsAndNames) {
    Generator generate(20261206);
    int matched = 0;
    for (int list = 0; list < 400; ++list) {
        std::vector<std::string> names;
        for (int i = 0; i < 60; ++i) {
            names.push_back(generate.Name());
        }
        std::string text;
        const int lines = generate.Pick(0, 40);
        for (int i = 0; i < lines; ++i) {
            text += generate.Line(names);
        }
        if (generate.Pick(0, 3) == 0 && !text.empty()) {
            text.pop_back();  // no line end after the last line
        }
        const CNameFilter filter = FilterOf(text);
        const std::vector<std::string> entries = reference::Entries(text);
        ASSERT_EQ(EntriesOf(filter), entries) << "list " << list;
        for (const std::string& name : names) {
            const bool expected = reference::MatchesAny(entries, name);
            ASSERT_EQ(filter.Matches(name), expected)
                << "list " << list << " name '" << name << "'";
            matched += expected ? 1 : 0;
        }
    }
    // The generator must exercise both answers, or the comparison proves little.
    EXPECT_GT(matched, 2000);
    EXPECT_LT(matched, 400 * 60 - 2000);
}

}  // namespace
