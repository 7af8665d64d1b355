#include "subscriptions/ListSubscription.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"

namespace {

constexpr int kDefaultRefreshHours = 24;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char c) {
               return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
           });
}

void ReadSide(const ProfileStore& profile, ListSide side, std::span<const std::string_view> keys,
              std::vector<ListSubscription>& lists) {
    for (const std::string_view key : keys) {
        std::string url = profile.ReadString(profile::kLists, key, "");
        if (url.empty()) {
            continue;
        }
        if (!IsListUrl(url)) {
            std::fprintf(stderr, "Nimbrel: Lists/%.*s is not an http:// or https:// URL: %s\n",
                         static_cast<int>(key.size()), key.data(), url.c_str());
            continue;
        }
        ListSubscription list{side, std::move(url)};
        if (std::find(lists.begin(), lists.end(), list) == lists.end()) {
            lists.push_back(std::move(list));
        }
    }
}

}  // namespace

std::string_view SideFolder(ListSide side) {
    return side == ListSide::kBlock ? kBlockListFolder : kAllowListFolder;
}

bool IsListUrl(std::string_view text) {
    std::string_view rest;
    if (StartsWithNoCase(text, "http://")) {
        rest = text.substr(7);
    } else if (StartsWithNoCase(text, "https://")) {
        rest = text.substr(8);
    } else {
        return false;
    }
    const bool clean = std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
    });
    return clean && !rest.empty() && rest.front() != '/' && rest.front() != '?' &&
           rest.front() != '#';
}

std::vector<ListSubscription> ReadSubscriptions(const ProfileStore& profile) {
    std::vector<ListSubscription> lists;
    ReadSide(profile, ListSide::kBlock, profile::kBlockListKeys, lists);
    ReadSide(profile, ListSide::kAllow, profile::kAllowListKeys, lists);
    return lists;
}

int RefreshHours(const ProfileStore& profile) {
    return std::max(0,
                    profile.ReadInt(profile::kLists, profile::kRefreshHours, kDefaultRefreshHours));
}
