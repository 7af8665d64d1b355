#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dns/ListFiles.h"

class ProfileStore;

// The folder of the filter folder that holds the lists of `side`: "block" or "allow".
std::string_view SideFolder(ListSide side);

// A list the user subscribed to: its URL and its side, from a key of section "Lists".
struct ListSubscription {
    ListSide side;
    std::string url;

    bool operator==(const ListSubscription&) const = default;
};

// An "http://" or "https://" URL (scheme in any letter case) with a host, and without
// blanks or control characters.
bool IsListUrl(std::string_view text);

// Every subscription of the profile, Block1 to Block16, then Allow1 to Allow16; empty keys
// are gaps. A value that is not a list URL is left out with one line on standard error; the
// same URL on the same side counts once.
std::vector<ListSubscription> ReadSubscriptions(const ProfileStore& profile);

// "RefreshHours", 24 by default; 0 (or less) means only when asked.
int RefreshHours(const ProfileStore& profile);
