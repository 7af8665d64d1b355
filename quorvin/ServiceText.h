#pragma once

#include <string>

#include "httpd/RequestCounters.h"

// What Quorvin says about its image server, in the tray tip and on standard error.
namespace quorvin {

// "Quorvin", then "N pictures served" with thousands separators.
std::string ServiceTip(const httpd::RequestCounters& counters);

// The line SIGUSR1 writes: "Quorvin: N requests, N pictures served, N refused".
std::string StatusLine(const httpd::RequestCounters& counters);

}  // namespace quorvin
