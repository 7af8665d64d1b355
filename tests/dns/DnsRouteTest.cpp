#include "dns/DnsRoute.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using enum dns::RouteKind;

// Columns: type, name, passed, named, UseCode, AlwaysReply, askable entries; the route.
using Row = std::tuple<std::uint16_t, const char*, bool, bool, int, bool, int, dns::Route>;

struct Facts : dns::IRouteFacts {
    explicit Facts(const Row& row) : row(row) {}
    bool IsPassed(std::string_view) const override { return std::get<2>(row); }
    bool IsNamed(std::string_view) const override { return std::get<3>(row); }
    int UseCode() override { return std::get<4>(row); }
    bool AlwaysReply() override { return std::get<5>(row); }
    int AskableServers() const override { return std::get<6>(row); }
    const Row& row;
};

constexpr std::uint16_t kA = 1, kPtr = 12, kMx = 15, kAaaa = 28;

const Row kRows[] = {
    {kA, "listed", false, true, 30000, true, 31, {kLocalAddress}},
    // The pass list wins over the named list; a passed name takes the "If passed" boxes.
    {kA, "both", true, true, 20000, true, 31, {kRelay, 1, true, true}},
    {kA, "passed", true, true, 10000, true, 31, {kRefused, 0, true, true}},
    {kA, "passed", true, false, 10000, false, 31, {kDrop, 0, true, false}},
    {kA, "unlisted", false, false, 12000, true, 31, {kRelay, 0b01, false, true}},
    {kA, "unlisted", false, false, 20000, true, 31, {kRefused, 0, false, true}},
    {kA, "unlisted", false, false, 0, false, 31, {kDrop}},
    // Entries that are never asked count as no server.
    {kA, "unlisted", false, false, 11000, true, 0b11100, {kRefused, 0, false, true}},
    {kA, "unlisted", false, false, 33333, true, 0b10101, {kRelay, 0b10101, false, true}},
    // Reverse names ignore the lists; only the local host's, in any letter case, is local.
    {kPtr, "1.0.0.127.IN-ADDR.Arpa", true, true, 0, false, 31, {kLocalPointer}},
    // (A name as long as the local host's that differs in one byte.)
    {kPtr, "2.0.0.127.in-addr.arpa", false, false, 10000, false, 31, {kRelay, 1, false, false}},
    {kPtr, "7.7.7.7.in-addr.arpa", true, true, 20000, true, 31, {kRefused, 0, false, true}},
    // Other types take the address query's road only with AlwaysReply.
    {kAaaa, "listed", false, true, 0, true, 31, {kLocalEmpty}},
    {kAaaa, "listed", false, true, 30000, false, 31, {kDrop}},
    {kMx, "passed", true, true, 20000, true, 31, {kRelay, 1, true, true}},
    {kMx, "unlisted", false, false, 10000, true, 31, {kRelay, 1, false, true}},
};

TEST(DnsRouteTest, ChoosesTheRoadFromTypeListsProfileAndAskableServers) {
    for (const Row& row : kRows) {
        Facts facts(row);
        EXPECT_EQ(dns::ChooseRoute(std::get<0>(row), std::get<1>(row), facts), std::get<7>(row))
            << std::get<1>(row) << " " << std::get<4>(row);
    }
}

}  // namespace
