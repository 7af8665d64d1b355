#include "activity/ActivityText.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <array>

namespace activity {
namespace {

struct TypeName {
    std::uint16_t type;
    const char* name;
};

constexpr std::array<TypeName, 6> kTypeNames = {{
    {1, "A"},
    {12, "PTR"},
    {15, "MX"},
    {16, "TXT"},
    {28, "AAAA"},
    {65, "HTTPS"},
}};

constexpr std::array<std::string_view, kActivityOutcomeCount> kOutcomeNames = {
    "blocked", "relayed", "refused", "failed", "dropped", "local"};

}  // namespace

std::string QueryTypeName(std::uint16_t type) {
    for (const TypeName& known : kTypeNames) {
        if (known.type == type) {
            return known.name;
        }
    }
    return "TYPE" + std::to_string(type);
}

std::string_view OutcomeName(ActivityOutcome outcome) {
    return kOutcomeNames[static_cast<std::size_t>(outcome)];
}

std::string CountersLine(const CQueryCounters& counters) {
    std::string line = std::to_string(counters.Queries()) + " queries";
    for (int i = 0; i < kActivityOutcomeCount; ++i) {
        const auto outcome = static_cast<ActivityOutcome>(i);
        line += ", " + std::to_string(counters.Of(outcome)) + " ";
        line += OutcomeName(outcome);
    }
    return line;
}

std::string ServerText(std::uint32_t server) {
    if (server == 0) {
        return {};
    }
    in_addr address{};
    address.s_addr = server;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

}  // namespace activity
