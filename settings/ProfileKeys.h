#pragma once

#include <array>
#include <string_view>

// The sections and keys of both programs' profiles, named once. Each reader names its
// default where it reads.
namespace profile {

inline constexpr std::string_view kPreferences = "Preferences";
// Preferences of both programs.
inline constexpr std::string_view kHideOnStart = "HideOnStart";
// Quorvin: serve the image files (non-zero) or the built-in picture.
inline constexpr std::string_view kImages = "Images";
// Nimbrel: the folder of named.txt and pass.txt, and what the IP Information dialog stores.
inline constexpr std::string_view kFilterPath = "FilterPath";
inline constexpr std::string_view kResolveToLocal = "ResolveToLocal";
inline constexpr std::string_view kResolveToIP = "ResolveToIP";
// Nimbrel: keep the recent queries' names for the Activity window (non-zero), or only counts.
inline constexpr std::string_view kKeepActivity = "KeepActivity";

inline constexpr std::string_view kProxy = "Proxy";
// Nimbrel's upstream servers, one key per row of the Proxy DNS dialog.
inline constexpr std::array<std::string_view, 5> kServerKeys = {"IP1", "IP2", "IP3", "IP4", "IP5"};
inline constexpr std::string_view kUseCode = "UseCode";
inline constexpr std::string_view kAlwaysReply = "AlwaysReply";

inline constexpr std::string_view kLists = "Lists";
// Nimbrel's subscribed lists: an http:// or https:// URL per key, gaps allowed.
inline constexpr std::array<std::string_view, 16> kBlockListKeys = {
    "Block1", "Block2",  "Block3",  "Block4",  "Block5",  "Block6",  "Block7",  "Block8",
    "Block9", "Block10", "Block11", "Block12", "Block13", "Block14", "Block15", "Block16"};
inline constexpr std::array<std::string_view, 16> kAllowListKeys = {
    "Allow1", "Allow2",  "Allow3",  "Allow4",  "Allow5",  "Allow6",  "Allow7",  "Allow8",
    "Allow9", "Allow10", "Allow11", "Allow12", "Allow13", "Allow14", "Allow15", "Allow16"};
// Hours between updates of the subscribed lists; 0: only when asked.
inline constexpr std::string_view kRefreshHours = "RefreshHours";

}  // namespace profile
