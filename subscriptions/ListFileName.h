#pragma once

#include <string>
#include <string_view>

// The file a subscribed list is kept in, inside its side's folder: the URL's host name in
// lower case (characters other than letters, digits, "." and "-" become "_"; "list" when
// there is none), a "-", the 16 lower-case hex digits of the URL's 64-bit FNV-1a hash, and
// ".txt". So "https://example.org/hosts" is kept as "example.org-<hash>.txt": the same URL
// always gives the same name, and two URLs of one host get two files.
std::string ListFileName(std::string_view url);

// The file beside it that keeps what the last download said (validators, times, error):
// "." + the list's file name + ".state", hidden, so that it is never read as a list.
std::string ListStateFileName(std::string_view listFileName);
