#include "dns/DnsRoute.h"

#include "dns/DnsMessage.h"
#include "dns/UseCode.h"

namespace dns {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

// A query the relay takes with the servers `maskOf` selects from "UseCode". With no server
// to ask, REFUSED tells the resolver at once to try its next server, or nothing is sent.
Route RelayRoute(IRouteFacts& facts, int (*maskOf)(int), bool passed) {
    const bool alwaysReply = facts.AlwaysReply();
    const int mask = maskOf(facts.UseCode()) & facts.AskableServers();
    if (mask == 0) {
        return Route{alwaysReply ? RouteKind::kRefused : RouteKind::kDrop, 0, passed, alwaysReply};
    }
    return Route{RouteKind::kRelay, mask, passed, alwaysReply};
}

}  // namespace

Route ChooseRoute(std::uint16_t type, std::string_view name, IRouteFacts& facts) {
    if (type == kTypePtr) {
        if (EqualsIgnoringCase(name, kLocalhostReverseName)) {
            return Route{RouteKind::kLocalPointer};
        }
        return RelayRoute(facts, NotNamedMask, false);
    }
    // Every other type follows the address query's road only when the profile asks for a
    // reply to every query; the answer for a listed name then carries no record.
    if (type != kTypeA && !facts.AlwaysReply()) {
        return Route{};
    }
    // The pass list wins over the named list: a name in both is relayed.
    if (facts.IsPassed(name)) {
        return RelayRoute(facts, PassMask, true);
    }
    if (facts.IsNamed(name)) {
        return Route{type == kTypeA ? RouteKind::kLocalAddress : RouteKind::kLocalEmpty};
    }
    return RelayRoute(facts, NotNamedMask, false);
}

}  // namespace dns
