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

}  // namespace profile
