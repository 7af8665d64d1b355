#include "activity/QueryLog.h"

#include <chrono>

void CQueryLog::Record(const QueryRecord& record) {
    m_counters.Count(record.outcome);
    if (m_keepNames) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        m_recent.Add(record, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
}

void CQueryLog::Restart(bool keepNames) {
    m_counters.Clear();
    m_recent.Clear();
    m_keepNames = keepNames;
}
