#pragma once

#include <array>
#include <cstdint>

#include "dns/QueryRecord.h"

// How many queries ended, in all and by outcome, since the counters were last cleared.
// Every query counts once, when it ends: `queries` is the sum of the outcomes.
class CQueryCounters {
public:
    void Count(ActivityOutcome outcome) {
        ++m_queries;
        ++m_byOutcome[static_cast<std::size_t>(outcome)];
    }
    void Clear() { *this = CQueryCounters{}; }

    std::uint64_t Queries() const { return m_queries; }
    std::uint64_t Of(ActivityOutcome outcome) const {
        return m_byOutcome[static_cast<std::size_t>(outcome)];
    }

private:
    std::uint64_t m_queries = 0;
    std::array<std::uint64_t, kActivityOutcomeCount> m_byOutcome{};
};
