#pragma once

#include <cstdint>

// What is known of a subscribed list when deciding whether to fetch it unasked.
struct ListAge {
    bool fileExists;
    std::int64_t lastAttempt;  // seconds since the epoch; 0: never tried
    bool lastFailed;
};

// Whether a list is due for a download that nobody asked for. Never while `refreshHours` is
// 0 or less (lists are then fetched only when asked). At start, a list without a file or
// whose last try failed is due. Otherwise a list is due once `refreshHours` have passed
// since its last try (a list never tried is due at once, as is one tried "in the future",
// after the clock was set back).
bool IsListDue(const ListAge& age, std::int64_t now, int refreshHours, bool atStart);
