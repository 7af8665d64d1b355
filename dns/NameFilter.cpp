#include "dns/NameFilter.h"

#include <algorithm>
#include <array>
#include <bit>

#include "dns/RunHash.h"

bool MatchesEntry(std::string_view entry, std::string_view name) {
    if (name == entry) {
        return true;
    }
    const std::size_t at = name.find(entry);
    if (at == std::string_view::npos) {
        return false;
    }
    const std::size_t after = at + entry.size();
    if (at == 0) {
        return after < name.size() && name[after] == '.';
    }
    if (name[at - 1] != '.') {
        return false;
    }
    return after == name.size() || name[after] == '.';
}

namespace {

bool IsLeadingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names up to this length are hashed with stack storage; longer ones (never seen in DNS,
// whose names stop at 255 bytes) use the heap.
constexpr std::size_t kStackNameLength = 1024;

// Lookups of this many runs are issued together so their memory loads overlap.
constexpr std::size_t kProbeBatch = 16;

}  // namespace

std::string_view CNameFilter::Entry(std::size_t index) const {
    return std::string_view(m_text).substr(m_offsets[index],
                                           m_offsets[index + 1] - m_offsets[index]);
}

void CNameFilter::Clear() {
    m_text = std::string();
    m_offsets = std::vector<std::uint64_t>();
    m_slots = std::vector<Slot>();
    m_slotShift = 64;
    m_bits = std::vector<std::uint64_t>();
    m_bitShift = 64;
    m_longestEntry = 0;
    m_mostDots = 0;
}

void CNameFilter::Assign(std::string text, std::string_view names) {
    Clear();
    m_text = std::move(text);
    const std::size_t lines =
        static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), '\n')) +
        (!m_text.empty() && m_text.back() != '\n' ? 1 : 0);
    const auto nameCount = static_cast<std::size_t>(std::count(names.begin(), names.end(), '\n'));
    m_offsets.reserve(lines + nameCount + 1);

    // Entries are compacted in place: each is never longer than its line.
    std::size_t read = 0;
    std::size_t write = 0;
    while (read < m_text.size()) {
        std::size_t end = m_text.find('\n', read);
        const bool hasLineEnd = end != std::string::npos;
        if (!hasLineEnd) {
            end = m_text.size();
        }
        std::size_t contentEnd = end;
        if (hasLineEnd && contentEnd > read && m_text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        std::size_t begin = read;
        while (begin < contentEnd && IsLeadingSpace(m_text[begin])) {
            ++begin;
        }
        m_offsets.push_back(write);
        std::size_t dots = 0;
        for (std::size_t i = begin; i < contentEnd; ++i) {
            const char c = LowerAscii(m_text[i]);
            dots += c == '.' ? 1 : 0;
            m_text[write++] = c;
        }
        m_longestEntry = std::max(m_longestEntry, contentEnd - begin);
        m_mostDots = std::max(m_mostDots, dots);
        read = hasLineEnd ? end + 1 : end;
    }
    m_text.resize(write);
    m_text.reserve(write + names.size() - nameCount);
    for (std::size_t begin = 0; begin < names.size();) {
        const std::size_t end = std::min(names.find('\n', begin), names.size());
        m_offsets.push_back(m_text.size());
        const std::string_view name = names.substr(begin, end - begin);
        m_text.append(name);
        m_longestEntry = std::max(m_longestEntry, name.size());
        m_mostDots = std::max(m_mostDots,
                              static_cast<std::size_t>(std::count(name.begin(), name.end(), '.')));
        begin = end + 1;
    }
    m_offsets.push_back(m_text.size());
    m_text.shrink_to_fit();
    BuildIndex();
}

std::size_t CNameFilter::SlotOf(std::uint64_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> m_slotShift);
}

std::size_t CNameFilter::BitOf(std::uint64_t hash) const {
    // A multiplier of its own, so that the bit does not follow from the slot.
    return static_cast<std::size_t>((hash * 0xC2B2AE3D27D4EB4Full) >> m_bitShift);
}

bool CNameFilter::MayHold(std::uint64_t hash) const {
    const std::size_t bit = BitOf(hash);
    return (m_bits[bit / 64] >> (bit % 64) & 1) != 0;
}

void CNameFilter::BuildIndex() {
    const std::size_t count = EntryCount();
    if (count == 0) {
        return;
    }
    // At most half full, so probe runs stay short.
    const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(count * 2, 16));
    m_slots.assign(capacity, Slot{});
    m_slotShift = 64u - static_cast<unsigned>(std::countr_zero(capacity));
    const std::size_t mask = capacity - 1;
    const std::size_t bitCount = capacity * 4;
    m_bits.assign(bitCount / 64, 0);
    m_bitShift = 64u - static_cast<unsigned>(std::countr_zero(bitCount));

    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view entry = Entry(i);
        const std::uint64_t hash = RunHash::Of(entry);
        const std::size_t bit = BitOf(hash);
        m_bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
        const auto tag = static_cast<std::uint32_t>(hash);
        for (std::size_t slot = SlotOf(hash);; slot = (slot + 1) & mask) {
            Slot& s = m_slots[slot];
            if (s.entryPlusOne == 0) {
                s = Slot{tag, static_cast<std::uint32_t>(i + 1)};
                break;
            }
            if (s.tag == tag && Entry(s.entryPlusOne - 1) == entry) {
                break;  // a duplicate line answers like its first occurrence
            }
        }
    }
}

bool CNameFilter::RunMatches(std::string_view name, std::size_t begin, std::size_t end,
                             std::uint64_t hash) const {
    const std::string_view run = name.substr(begin, end - begin);
    const auto tag = static_cast<std::uint32_t>(hash);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = SlotOf(hash);; slot = (slot + 1) & mask) {
        const Slot& s = m_slots[slot];
        if (s.entryPlusOne == 0) {
            return false;
        }
        if (s.tag == tag) {
            const std::string_view entry = Entry(s.entryPlusOne - 1);
            if (entry == run) {
                return MatchesEntry(entry, name);
            }
        }
    }
}

bool CNameFilter::AnyRunMatches(std::string_view name, const std::uint64_t* prefixHash) const {
    struct Candidate {
        std::size_t begin;
        std::size_t end;
        std::uint64_t hash;
    };
    std::array<Candidate, kProbeBatch> batch;
    std::size_t pending = 0;
    auto flush = [&]() {
        for (std::size_t i = 0; i < pending; ++i) {
            if (RunMatches(name, batch[i].begin, batch[i].end, batch[i].hash)) {
                return true;
            }
        }
        pending = 0;
        return false;
    };

    // A run starts at the name's start or after a '.', and ends at the name's end or
    // before a '.'; it holds no more dots than the entry with the most of them.
    const std::size_t size = name.size();
    for (std::size_t begin = 0; begin <= size;) {
        std::size_t dots = 0;
        for (std::size_t end = begin;; ++end) {
            if (end - begin > m_longestEntry) {
                break;
            }
            if (end == size || name[end] == '.') {
                const std::uint64_t hash = RunHash::OfRange(prefixHash, begin, end);
                if (MayHold(hash)) {
                    batch[pending++] = Candidate{begin, end, hash};
                    __builtin_prefetch(&m_slots[SlotOf(hash)]);
                    if (pending == kProbeBatch && flush()) {
                        return true;
                    }
                }
                if (end == size || ++dots > m_mostDots) {
                    break;
                }
            }
        }
        const std::size_t nextDot = name.find('.', begin);
        if (nextDot == std::string_view::npos) {
            break;
        }
        begin = nextDot + 1;
    }
    return flush();
}

bool CNameFilter::Matches(std::string_view name) const {
    if (m_slots.empty()) {
        return false;
    }
    if (name.size() < kStackNameLength) {
        std::array<std::uint64_t, kStackNameLength + 1> prefix;
        RunHash::Prefixes(name, prefix.data());
        return AnyRunMatches(name, prefix.data());
    }
    std::vector<std::uint64_t> prefix(name.size() + 1);
    RunHash::Prefixes(name, prefix.data());
    return AnyRunMatches(name, prefix.data());
}
