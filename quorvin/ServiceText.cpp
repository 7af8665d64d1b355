#include "quorvin/ServiceText.h"

#include "base/Thousands.h"

namespace quorvin {

std::string ServiceTip(const httpd::RequestCounters& counters) {
    return "Quorvin\n" + WithThousands(counters.pictures) + " pictures served";
}

std::string StatusLine(const httpd::RequestCounters& counters) {
    return "Quorvin: " + std::to_string(counters.requests) + " requests, " +
           std::to_string(counters.pictures) + " pictures served, " +
           std::to_string(counters.refused) + " refused";
}

}  // namespace quorvin
