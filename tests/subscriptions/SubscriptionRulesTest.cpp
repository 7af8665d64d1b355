#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "subscriptions/FetchResult.h"
#include "subscriptions/FetchVerdict.h"
#include "subscriptions/ListFileName.h"
#include "subscriptions/ListSchedule.h"
#include "subscriptions/ListSubscription.h"

namespace {

TEST(SubscriptionRulesTest, OnlyHttpAndHttpsUrlsWithAHostAreLists) {
    const std::tuple<const char*, bool> rows[] = {
        {"https://example.org/hosts", true},
        {"HTTP://example.org", true},
        {"http://", false},
        {"https:///path", false},
        {"ftp://example.org/list", false},
        {"example.org/hosts", false},
        {"https://exa mple.org/", false},
        {"https://example.org/\t", false},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(IsListUrl(text), expected) << text;
    }
}

// The hash is FNV-1a of the URL's bytes, so the name never changes between versions.
TEST(SubscriptionRulesTest, ListFileNameIsTheHostAndAHashOfTheWholeUrl) {
    const std::tuple<const char*, const char*> rows[] = {
        {"https://Zz.Example.ORG/hosts", "zz.example.org-1e65c45202eb6846.txt"},
        {"http://user:pw@lists.example:8080/a?b", "lists.example-2d29130b2e072c95.txt"},
        {"https://[::1]/x", "___1_-0bbaae41e1b5f5a2.txt"},
        {"https://.hidden/x", "list.hidden-4c7a8102431a6b1b.txt"},
    };
    for (const auto& [url, name] : rows) {
        EXPECT_EQ(ListFileName(url), name) << url;
    }
    EXPECT_EQ(ListStateFileName("a-1.txt"), ".a-1.txt.state");
}

TEST(SubscriptionRulesTest, VerdictOfEachDownload) {
    const std::string hosts = "# title\n0.0.0.0 ads.example\n";
    const std::string page = "<!DOCTYPE html>\n<html>\n<body><h1>Sorry</h1></body>\n</html>\n";
    const std::tuple<FetchResult, FetchVerdict> rows[] = {
        {{"", 200, hosts, "", ""}, {FetchOutcome::kReplace, ""}},
        {{"", 304, "", "", ""}, {FetchOutcome::kUnchanged, ""}},
        {{"", 500, hosts, "", ""}, {FetchOutcome::kFailed, "HTTP status 500"}},
        {{"", 200, page, "", ""}, {FetchOutcome::kFailed, "no name in the body (not a list?)"}},
        {{"Could not connect", 0, "", "", ""}, {FetchOutcome::kFailed, "Could not connect"}},
    };
    int row = 0;
    for (const auto& [result, verdict] : rows) {
        SCOPED_TRACE(row++);
        EXPECT_EQ(JudgeFetch(result, ListSide::kBlock), verdict);
    }
}

TEST(SubscriptionRulesTest, WhenAListIsDueUnasked) {
    constexpr std::int64_t kNow = 1'000'000'000;
    constexpr std::int64_t kHour = 3600;
    // Columns: file exists, last attempt, last failed, refresh hours, at start; due.
    const std::tuple<bool, std::int64_t, bool, int, bool, bool> rows[] = {
        {false, 0, false, 24, true, true},
        {false, kNow - kHour, true, 24, true, true},
        {false, kNow - kHour, true, 24, false, false},
        {true, kNow - kHour, true, 24, true, true},
        {true, kNow - kHour, false, 24, true, false},
        {true, kNow - 24 * kHour, false, 24, false, true},
        {true, kNow - 24 * kHour + 1, false, 24, false, false},
        {true, kNow - kHour, false, 1, false, true},
        {true, 0, false, 24, false, true},
        {true, kNow + kHour, false, 24, false, true},
        {false, 0, false, 0, true, false},
        {true, 0, false, -3, false, false},
    };
    int row = 0;
    for (const auto& [exists, lastAttempt, failed, hours, atStart, due] : rows) {
        SCOPED_TRACE(row++);
        EXPECT_EQ(IsListDue({exists, lastAttempt, failed}, kNow, hours, atStart), due);
    }
}

}  // namespace
