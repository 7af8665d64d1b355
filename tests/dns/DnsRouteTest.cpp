#include "dns/DnsRoute.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dns::Route;
using dns::RouteKind;

constexpr std::uint16_t kA = 1;
constexpr std::uint16_t kPtr = 12;
constexpr std::uint16_t kAaaa = 28;
constexpr std::uint16_t kMx = 15;

struct Facts : dns::IRouteFacts {
    bool passed = false;
    bool named = false;
    int useCode = 0;
    bool alwaysReply = true;
    int askable = 0b11111;

    bool IsPassed(std::string_view) const override { return passed; }
    bool IsNamed(std::string_view) const override { return named; }
    int UseCode() override { return useCode; }
    bool AlwaysReply() override { return alwaysReply; }
    int AskableServers() const override { return askable; }
};

struct RouteCase {
    const char* what;
    std::uint16_t type;
    const char* name;
    Facts facts;
    Route expected;
};

Facts With(bool passed, bool named, int useCode, bool alwaysReply, int askable = 0b11111) {
    Facts facts;
    facts.passed = passed;
    facts.named = named;
    facts.useCode = useCode;
    facts.alwaysReply = alwaysReply;
    facts.askable = askable;
    return facts;
}

constexpr bool kPassed = true;
constexpr bool kNamed = true;
constexpr bool kAlways = true;

const RouteCase kCases[] = {
    {"ListedAddress",
     kA,
     "ads.example",
     With(false, kNamed, 30000, kAlways),
     {RouteKind::kLocalAddress}},
    {"PassListWinsOverNamedList",
     kA,
     "both.example",
     With(kPassed, kNamed, 20000, kAlways),
     {RouteKind::kRelay, 1, true, true}},
    {"PassedWithoutPassedBoxIsRefused",
     kA,
     "p.example",
     With(kPassed, kNamed, 10000, kAlways),
     {RouteKind::kRefused, 0, true, true}},
    {"PassedWithoutPassedBoxIsDroppedWhenSilent",
     kA,
     "p.example",
     With(kPassed, false, 10000, false),
     {RouteKind::kDrop, 0, true, false}},
    {"UnlistedTakesTheNotNamedMask",
     kA,
     "www.example",
     With(false, false, 12000, kAlways),
     {RouteKind::kRelay, 0b01, false, true}},
    {"UnlistedWithoutServerIsRefused",
     kA,
     "www.example",
     With(false, false, 20000, kAlways),
     {RouteKind::kRefused, 0, false, true}},
    {"UnlistedWithoutServerIsDroppedWhenSilent",
     kA,
     "www.example",
     With(false, false, 0, false),
     {RouteKind::kDrop}},
    {"ServersThatAreNeverAskedCountAsNone",
     kA,
     "www.example",
     With(false, false, 11000, kAlways, 0b11100),
     {RouteKind::kRefused, 0, false, true}},
    {"OnlyAskableServersAreSelected",
     kA,
     "www.example",
     With(false, false, 33333, kAlways, 0b10101),
     {RouteKind::kRelay, 0b10101, false, true}},
    {"ReverseLocalhostInAnyCase",
     kPtr,
     "1.0.0.127.IN-ADDR.Arpa",
     With(kPassed, kNamed, 0, false),
     {RouteKind::kLocalPointer}},
    {"OtherReverseNameIgnoresTheLists",
     kPtr,
     "7.7.7.7.in-addr.arpa",
     With(kPassed, kNamed, 20000, kAlways),
     {RouteKind::kRefused, 0, false, true}},
    {"OtherReverseNameIsRelayed",
     kPtr,
     "7.7.7.7.in-addr.arpa",
     With(false, false, 10000, false),
     {RouteKind::kRelay, 1, false, false}},
    {"OtherTypeForListedNameGetsEmptyAnswer",
     kAaaa,
     "ads.example",
     With(false, kNamed, 0, kAlways),
     {RouteKind::kLocalEmpty}},
    {"OtherTypeIsDroppedWhenSilent",
     kAaaa,
     "ads.example",
     With(false, kNamed, 30000, false),
     {RouteKind::kDrop}},
    {"OtherTypeForPassedNameIsRelayedAsAddress",
     kMx,
     "p.example",
     With(kPassed, kNamed, 20000, kAlways),
     {RouteKind::kRelay, 1, true, true}},
    {"OtherTypeForUnlistedNameIsRelayedAsAddress",
     kMx,
     "www.example",
     With(false, false, 10000, kAlways),
     {RouteKind::kRelay, 1, false, true}},
    {"OtherTypeWithoutServerIsRefused",
     kAaaa,
     "www.example",
     With(false, false, 0, kAlways),
     {RouteKind::kRefused, 0, false, true}},
};

class DnsRouteTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(DnsRouteTest, ChoosesTheRoad) {
    Facts facts = GetParam().facts;
    EXPECT_EQ(dns::ChooseRoute(GetParam().type, GetParam().name, facts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Queries, DnsRouteTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
