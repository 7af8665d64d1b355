#include "dns/NameFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dns/ReferenceMatcher.h"

namespace {

// Both the index and the plain reference give every row's answer.
TEST(NameFilterTest, EntryMatchesWholeLabelsAtItsFirstOccurrence) {
    const struct {
        std::string text;
        std::string name;
        bool matches;
    } rows[] = {
        // Whole labels at the start, the end or inside the name; a later occurrence never counts;
        // names compare byte for byte.
        {"ads.example\n", "ads.example", true},
        {"ads.example\n", "img.ads.example", true},
        {"ads.example\n", "bads.example", false},
        {"ads\n", "x.loads.ads.example", false},
        {"ads.example\n", "Ads.Example", false},
        // Lines lose their line end and leading blanks and become lower case; a trailing
        // space stays, an empty line matches the root and names that start with a dot.
        {" \tADS.Example\r\n", "ads.example", true},
        {"ads.example \n", "ads.example", false},
        {"ads.example\n\n", "", true},
        {"\n", ".hidden", true},
        {"ads.example\n", std::string(1100, 'x') + ".ads.example", true}};
    for (const auto& row : rows) {
        CNameFilter filter;
        filter.Assign(row.text);
        EXPECT_EQ(filter.Matches(row.name), row.matches) << row.text << " / " << row.name;
        EXPECT_EQ(reference::MatchesAny(reference::Entries(row.text), row.name), row.matches);
    }
}

// Random lists and names over an alphabet that makes the quirks common: entries inside labels or
// twice in a name, empty labels, blanks, capitals and bytes that are not letters.
TEST(NameFilterTest, IndexAgreesWithTheReferenceOnRandomListsAndNames) {
    std::mt19937 random(20261206);
    const auto pick = [&random](std::size_t high) { return random() % (high + 1); };
    const std::string alphabet("abab.-AB 0\xff\0", 12);
    int matched = 0;
    for (int list = 0; list < 400; ++list) {
        std::vector<std::string> names(60);
        for (std::string& name : names) {
            for (std::size_t length = pick(14); length > 0; --length) {
                name += alphabet[pick(alphabet.size() - 1)];
            }
        }
        std::string text;
        for (std::size_t line = pick(40); line > 0; --line) {
            const std::string& name = names[pick(names.size() - 1)];
            const std::size_t from = pick(name.size());
            text += std::string(pick(7) == 0 ? 2 : 0, pick(1) ? ' ' : '\t') +
                    name.substr(from, pick(name.size() - from)) + (pick(7) == 0 ? " " : "") +
                    (pick(3) == 0 ? "\r\n" : "\n");
        }
        if (pick(3) == 0 && !text.empty()) {
            text.pop_back();
        }
        CNameFilter filter;
        filter.Assign(text);
        const std::vector<std::string> entries = reference::Entries(text);
        ASSERT_EQ(filter.EntryCount(), entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ASSERT_EQ(filter.Entry(i), entries[i]) << "list " << list;
        }
        for (const std::string& name : names) {
            const bool expected = reference::MatchesAny(entries, name);
            ASSERT_EQ(filter.Matches(name), expected) << "list " << list << " name " << name;
            matched += expected ? 1 : 0;
        }
    }
    // Both answers must be common, or the comparison proves little.
    EXPECT_GT(matched, 2000);
    EXPECT_LT(matched, 400 * 60 - 2000);
}

}  // namespace
