#pragma once

#include <string>

#include "dns/ListFiles.h"

struct FetchResult;

// What becomes of a subscribed list after a download.
enum class FetchOutcome {
    kReplace,    // a good new body: it replaces the kept file
    kUnchanged,  // 304 Not Modified: the kept file stays, and is current
    kFailed,     // the kept file stays; `reason` says why
};

struct FetchVerdict {
    FetchOutcome outcome;
    std::string reason;

    bool operator==(const FetchVerdict&) const = default;
};

// A 200 whose body gives at least one name (read as a list of `side`) replaces the list; a
// 304 keeps it as current; anything else (a transport failure, another status, a body that
// gives no name, such as an error page) fails, and the previous file stays.
FetchVerdict JudgeFetch(const FetchResult& result, ListSide side);
