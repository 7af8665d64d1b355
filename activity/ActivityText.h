#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "activity/QueryCounters.h"
#include "dns/QueryRecord.h"

// How the query log reads as text, wherever it is shown.
namespace activity {

// "A", "AAAA", "HTTPS", "PTR", "MX", "TXT", or "TYPE" and the number for any other type.
std::string QueryTypeName(std::uint16_t type);

// The counter an outcome goes to: "blocked", "relayed", "refused", "failed", "dropped",
// "local".
std::string_view OutcomeName(ActivityOutcome outcome);

// "N queries, N blocked, N relayed, N refused, N failed, N dropped, N local", plain numbers.
std::string CountersLine(const CQueryCounters& counters);

// A dotted IPv4 address from network order; empty for 0 (no server).
std::string ServerText(std::uint32_t server);

}  // namespace activity
