#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What is kept beside a subscribed list's file about its downloads: the validators of the
// kept body for the next conditional request, when the list was last tried and last
// updated (seconds since the epoch, 0: never), and why the last try failed (empty when it
// did not). Kept as "Key: value" lines; unknown lines are ignored.
struct ListState {
    std::string etag;
    std::string lastModified;
    std::int64_t lastAttempt = 0;
    std::int64_t lastGood = 0;
    std::string lastError;

    bool operator==(const ListState&) const = default;
};

std::string FormatListState(const ListState& state);
ListState ParseListState(std::string_view text);

// The state kept at `path`; an empty state when there is none.
ListState ReadListState(const std::string& path);
// Replaces the kept state atomically; false when it cannot be written.
bool WriteListState(const std::string& path, const ListState& state);
