#pragma once

#include <string>
#include <string_view>

// Where a filter file of `folder` lives: the folder text, unchanged, then "/" and the
// name of the file in that folder whose name matches `lowerCaseName` without regard to
// letter case ("Named.txt" for "named.txt"), so that every part of the program reaches the
// same file whatever case the user gave it. The exact lower-case name wins a tie, then
// the first in byte order. With no such file, the lower-case name is used.
std::string FilterFilePath(const std::string& folder, std::string_view lowerCaseName);
