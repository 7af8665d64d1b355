#pragma once

#include <string>
#include <string_view>
#include <vector>

// Plain, step-by-step versions of the filter list rules, kept to check the fast ones.
namespace reference {

// The entries a filter file's text gives, one per line.
std::vector<std::string> Entries(std::string_view text);

// Whether `entry` stands in `name` as a run of whole labels, judged at its first occurrence.
bool MatchesEntry(const std::string& entry, const std::string& name);

// Whether any entry matches, trying them in order.
bool MatchesAny(const std::vector<std::string>& entries, const std::string& name);

}  // namespace reference
