#pragma once

#include <string>
#include <string_view>

class ProfileStore;

inline constexpr std::string_view kNamedListFile = "named.txt";
inline constexpr std::string_view kPassListFile = "pass.txt";

// The folder of the filter files: Preferences/FilterPath, by default the current folder. A
// relative folder is taken in the current folder and returned as an absolute path, so that
// a folder such as "-x" or "http:x" never reaches a command line as an option or a URL.
std::string FilterFolder(const ProfileStore& settings);

// Where a filter file of `folder` lives: the folder text, unchanged, then "/" and the
// name of the file in that folder whose name matches `lowerCaseName` without regard to
// letter case ("Named.txt" for "named.txt"), so that every part of the program reaches the
// same file whatever case the user gave it. The exact lower-case name wins a tie, then
// the first in byte order. With no such file, the lower-case name is used.
std::string FilterFilePath(const std::string& folder, std::string_view lowerCaseName);
