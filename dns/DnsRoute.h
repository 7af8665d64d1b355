#pragma once

#include <cstdint>
#include <string_view>

// Which way one query goes: the decision alone, with no socket. The facts it needs are
// asked through IRouteFacts, only when the decision gets to them: the pass list before
// the named list, the profile only for the queries that depend on it.
namespace dns {

enum class RouteKind {
    kDrop,          // no reply at all
    kLocalAddress,  // A answer carrying the local host
    kLocalPointer,  // PTR answer "localhost"
    kLocalEmpty,    // the address answer's header with no record (another type, listed name)
    kRefused,       // no server would be asked: REFUSED at once
    kRelay,         // relayed to the servers of `mask`
};

struct Route {
    RouteKind kind = RouteKind::kDrop;
    // kRelay: the servers selected for the query.
    int mask = 0;
    // The name is in the pass list (activity returns to idle when it is not relayed).
    bool passed = false;
    // Read from the profile: whether a relay whose servers all stay silent gets SERVFAIL.
    bool alwaysReply = false;

    bool operator==(const Route&) const = default;
};

class IRouteFacts {
public:
    virtual ~IRouteFacts() = default;
    virtual bool IsPassed(std::string_view name) const = 0;
    virtual bool IsNamed(std::string_view name) const = 0;
    // Profile values, read at the moment the decision needs them.
    virtual int UseCode() = 0;
    virtual bool AlwaysReply() = 0;
    // The table entries the relay can ask (bit j: entry j).
    virtual int AskableServers() const = 0;
};

// The reverse name of 127.0.0.1, answered locally with "localhost" in any letter case.
inline constexpr std::string_view kLocalhostReverseName = "1.0.0.127.in-addr.arpa";

Route ChooseRoute(std::uint16_t type, std::string_view name, IRouteFacts& facts);

}  // namespace dns
