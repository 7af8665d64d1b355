#pragma once

#include <cstdint>
#include <string_view>

// How one query ended, as the activity log counts it: each value is one counter.
enum class ActivityOutcome : std::uint8_t {
    kBlocked,  // answered locally for a listed name: the A answer or the empty answer
    kRelayed,  // an upstream server's reply went back
    kRefused,  // REFUSED at once: no server would be asked
    kFailed,   // SERVFAIL: no server answered, or none could be asked
    kDropped,  // no reply at all
    kLocal,    // the reverse-localhost answer
};

inline constexpr int kActivityOutcomeCount = 6;

// One ended query. `name` is only valid during the call that reports it. For a relayed
// query, `server` is the IPv4 address (network order) of the server that answered and
// `durationUs` the time from sending the query upstream to its reply.
struct QueryRecord {
    std::string_view name;
    std::uint16_t type = 0;
    ActivityOutcome outcome = ActivityOutcome::kDropped;
    std::uint32_t server = 0;
    std::uint32_t durationUs = 0;
};
