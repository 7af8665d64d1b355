#include "dns/ListLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ListLineKind kNothing = ListLineKind::kNothing;
constexpr ListLineKind kNames = ListLineKind::kNames;
constexpr ListLineKind kExceptions = ListLineKind::kExceptions;
constexpr ListLineKind kSkipped = ListLineKind::kSkipped;

TEST(ListLineTest, EachFormatGivesItsNamesAndEveryOtherLineIsSkipped) {
    const std::string label63(63, 'a');
    const std::string name253 =
        label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    const struct {
        std::string line;
        ListLineKind kind;
        std::string names;
    } rows[] = {
        // Blank lines, comments and adblock headers.
        {"", kNothing, ""},
        {" \t\r", kNothing, ""},
        {"  # hosts comment", kNothing, ""},
        {"! adblock comment", kNothing, ""},
        {"[Adblock Plus 2.0]", kNothing, ""},
        // Hosts lines: every name after the address, up to a comment.
        {"127.0.0.1\tAds.Example.  img.example # trackers\r", kNames, "ads.example\nimg.example\n"},
        {"::1 ads.example", kNames, "ads.example\n"},
        {"0.0.0.0 localhost ads.example ip6-x.example", kNames, "ads.example\n"},
        {"127.0.0.1 localhost.localdomain broadcasthost 0.0.0.0", kSkipped, ""},
        {"0.0.0.0 ads.example#tracker", kSkipped, ""},
        {"0.0.0.0", kSkipped, ""},
        // Adblock rules that mean the whole host, and exceptions of the same shape.
        {"||ADS.example^|", kNames, "ads.example\n"},
        {"||ads.example^$important", kNames, "ads.example\n"},
        {"@@||good.example^", kExceptions, "good.example\n"},
        // Rules for a browser: an option, a wildcard, no end mark.
        {"||ads.example^$third-party", kSkipped, ""},
        {"||*.ads.example^", kSkipped, ""},
        {"||ads.example", kSkipped, ""},
        // Domain lists; a leading "*." or "." adds nothing under the label-run rule.
        {"*.ads.example", kNames, "ads.example\n"},
        {".ads.example   # note", kNames, "ads.example\n"},
        {"ads.example extra", kSkipped, ""},
        // A cosmetic rule.
        {"example.com##.banner", kSkipped, ""},
        // What is a name: two labels or more of letters, digits, '-' and '_', no address.
        {"ads", kSkipped, ""},
        {"ads.", kSkipped, ""},
        {"1.2.3.4", kSkipped, ""},
        {"1.2.3.4.5", kNames, "1.2.3.4.5\n"},
        {"a..example", kSkipped, ""},
        {".", kSkipped, ""},
        {"ad_s-1.example", kNames, "ad_s-1.example\n"},
        {label63 + ".example", kNames, label63 + ".example\n"},
        {label63 + "a.example", kSkipped, ""},
        {name253 + ".", kNames, name253 + "\n"},
        {name253 + "b", kSkipped, ""},
    };
    for (const auto& row : rows) {
        std::string names = "kept\n";
        const ListLine line = ReadListLine(row.line, names);
        EXPECT_EQ(line.kind, row.kind) << row.line;
        EXPECT_EQ(names, "kept\n" + row.names) << row.line;
        EXPECT_EQ(line.names,
                  static_cast<std::size_t>(std::count(row.names.begin(), row.names.end(), '\n')))
            << row.line;
    }
}

}  // namespace
