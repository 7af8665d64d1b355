#include "activity/RecentQueries.h"

#include <algorithm>

CRecentQueries::CRecentQueries(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1)),
      m_slots(std::make_unique<RecentQuery[]>(m_capacity)) {}

void CRecentQueries::Add(const QueryRecord& record, std::int64_t timeMs) {
    RecentQuery& slot = m_slots[m_added % m_capacity];
    ++m_added;
    slot.sequence = m_added;
    slot.timeMs = timeMs;
    slot.server = record.server;
    slot.durationUs = record.durationUs;
    slot.type = record.type;
    slot.outcome = record.outcome;
    const std::size_t length = std::min(record.name.size(), RecentQuery::kMaxNameLength);
    std::copy_n(record.name.data(), length, slot.name.data());
    slot.nameLength = static_cast<std::uint8_t>(length);
}

void CRecentQueries::Clear() {
    m_added = 0;
}

const RecentQuery& CRecentQueries::Newest(std::size_t age) const {
    return m_slots[(m_added - 1 - age) % m_capacity];
}
