#pragma once

#include <string>

class CQueryCounters;

// What Nimbrel says about its DNS service, in the tray tip and on standard error.
namespace nimbrel {

// "Nimbrel", then "N blocked of M queries" with thousands separators, or "stopped".
std::string ServiceTip(bool running, const CQueryCounters& counters);

// The line SIGUSR1 writes: "Nimbrel: " and the counters with plain numbers.
std::string StatusLine(const CQueryCounters& counters);

}  // namespace nimbrel
