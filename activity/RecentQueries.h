#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "dns/QueryRecord.h"

// One kept query: its record, with the name copied in (cut at kMaxNameLength bytes), the
// wall-clock time it ended and its number in the order of arrival (1 for the first).
struct RecentQuery {
    static constexpr std::size_t kMaxNameLength = 255;

    std::uint64_t sequence = 0;
    std::int64_t timeMs = 0;  // milliseconds since the Unix epoch
    std::uint32_t server = 0;
    std::uint32_t durationUs = 0;
    std::uint16_t type = 0;
    ActivityOutcome outcome = ActivityOutcome::kDropped;
    std::uint8_t nameLength = 0;
    std::array<char, kMaxNameLength> name{};

    std::string_view Name() const { return {name.data(), nameLength}; }
};

// The last queries, in a ring whose slots are allocated once, when it is made: adding a
// query copies it into the oldest slot and allocates nothing. Owned by the query log.
class CRecentQueries {
public:
    static constexpr std::size_t kDefaultCapacity = 1000;

    explicit CRecentQueries(std::size_t capacity = kDefaultCapacity);

    void Add(const QueryRecord& record, std::int64_t timeMs);
    void Clear();

    std::size_t Capacity() const { return m_capacity; }
    std::size_t Size() const { return m_added < m_capacity ? m_added : m_capacity; }
    // Queries added since the last Clear; changes with every Add.
    std::uint64_t Added() const { return m_added; }
    // The `age`-th newest query, 0 the newest; `age` below Size().
    const RecentQuery& Newest(std::size_t age) const;

private:
    const std::size_t m_capacity;
    std::unique_ptr<RecentQuery[]> m_slots;
    std::uint64_t m_added = 0;
};
