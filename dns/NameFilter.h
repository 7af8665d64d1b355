#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The matching rule of the filter lists: `entry` matches `name` when the name equals it,
// or when the FIRST place where the entry occurs in the name lies on label boundaries:
// at the start of the name followed by '.', or after a '.' and followed by '.' or the end
// of the name. Bytes are compared exactly. A later occurrence never counts.
bool MatchesEntry(std::string_view entry, std::string_view name);

// One filter list: the entries of one file, and an index that answers "does any entry
// match this name" in time that grows with the name's length, not with the list's size.
//
// Only a run of whole dot-separated pieces of the name can be an entry's matching first
// occurrence, so a lookup hashes each such run (a few dozen for an ordinary name), looks
// it up among the entries, and checks the rule in full only for entries that are found.
// A bitmap of eight bits per entry, small enough to stay in the cache, turns most runs
// that are no entry away before the larger table is touched.
class CNameFilter {
public:
    // Turns each line of `text` into an entry: the line end (LF or CR LF) is removed,
    // leading white space is removed and A-Z become a-z; trailing spaces stay, an empty
    // line is an empty entry, and a last line without a line end still counts. Then each
    // name of `names`, every one followed by '\n', becomes an entry as it is.
    void Assign(std::string text, std::string_view names = {});
    void Clear();

    bool Matches(std::string_view name) const;

    // Entries loaded, duplicates included.
    std::size_t EntryCount() const { return m_offsets.empty() ? 0 : m_offsets.size() - 1; }
    std::string_view Entry(std::size_t index) const;

private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t entryPlusOne = 0;  // 0 marks a free slot
    };

    void BuildIndex();
    bool AnyRunMatches(std::string_view name, const std::uint64_t* prefixHash) const;
    bool RunMatches(std::string_view name, std::size_t begin, std::size_t end,
                    std::uint64_t hash) const;
    std::size_t SlotOf(std::uint64_t hash) const;
    std::size_t BitOf(std::uint64_t hash) const;
    bool MayHold(std::uint64_t hash) const;

    std::string m_text;                    // the entries back to back
    std::vector<std::uint64_t> m_offsets;  // entry i is m_text[m_offsets[i], m_offsets[i + 1])
    std::vector<Slot> m_slots;             // distinct entries, open addressing
    unsigned m_slotShift = 64;
    std::vector<std::uint64_t> m_bits;  // bit BitOf(hash) set for the hash of each entry
    unsigned m_bitShift = 64;
    std::size_t m_longestEntry = 0;
    std::size_t m_mostDots = 0;
};
