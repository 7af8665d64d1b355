#pragma once

#include <cstdint>

#include "activity/QueryCounters.h"
#include "activity/RecentQueries.h"
#include "dns/QueryRecord.h"

// What the DNS service did since it started: the counters, and the recent queries unless
// the user keeps no names ("KeepActivity"). Nothing of it is written to disk. Owned by the
// main window; cleared at each start of the service.
class CQueryLog {
public:
    // Counts the ended query and, while names are kept, adds it to the recent queries with
    // the time of this moment. Allocates nothing.
    void Record(const QueryRecord& record);
    // Empties the counters and the recent queries; `keepNames` false keeps only counters
    // from now on.
    void Restart(bool keepNames);

    bool KeepsNames() const { return m_keepNames; }
    const CQueryCounters& Counters() const { return m_counters; }
    const CRecentQueries& Recent() const { return m_recent; }

private:
    CQueryCounters m_counters;
    CRecentQueries m_recent;
    bool m_keepNames = true;
};
