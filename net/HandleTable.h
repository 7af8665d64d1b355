#pragma once

#include <cstdint>
#include <vector>

// Maps registration tokens to objects. A token carries its slot and the slot's generation,
// so a token of a removed registration never finds anything again, even after its slot (and
// the descriptor number behind it) has been reused. The table does not own the objects.
// Generations count within 31 bits, so a token never has its top bit set: the reactor
// keeps that bit for descriptors it watches for others.
template <class T>
class CHandleTable {
public:
    static constexpr std::uint32_t kGenerationMask = 0x7FFFFFFF;

    // New slots start at `firstGeneration` (tests start near the wrap).
    explicit CHandleTable(std::uint32_t firstGeneration = 0)
        : m_firstGeneration(firstGeneration & kGenerationMask) {}

    std::uint64_t Add(T* item) {
        std::uint32_t index;
        if (m_free.empty()) {
            index = static_cast<std::uint32_t>(m_slots.size());
            m_slots.push_back(Slot{nullptr, m_firstGeneration, false});
        } else {
            index = m_free.back();
            m_free.pop_back();
        }
        m_slots[index].item = item;
        return (static_cast<std::uint64_t>(m_slots[index].generation) << 32) | index;
    }

    void Remove(std::uint64_t token) {
        Slot* slot = SlotOf(token);
        if (slot == nullptr) {
            return;
        }
        slot->item = nullptr;
        slot->marked = false;
        slot->generation = (slot->generation + 1) & kGenerationMask;
        m_free.push_back(static_cast<std::uint32_t>(token));
    }

    T* Find(std::uint64_t token) const {
        const Slot* slot = const_cast<CHandleTable*>(this)->SlotOf(token);
        return slot == nullptr ? nullptr : slot->item;
    }

    // One mark per registration, cleared with it: true when the mark was not set yet.
    bool Mark(std::uint64_t token) {
        Slot* slot = SlotOf(token);
        if (slot == nullptr || slot->marked) {
            return false;
        }
        slot->marked = true;
        return true;
    }
    void Unmark(std::uint64_t token) {
        if (Slot* slot = SlotOf(token)) {
            slot->marked = false;
        }
    }

private:
    struct Slot {
        T* item = nullptr;
        std::uint32_t generation = 0;
        bool marked = false;
    };

    Slot* SlotOf(std::uint64_t token) {
        std::uint32_t index = static_cast<std::uint32_t>(token);
        if (index >= m_slots.size() || m_slots[index].item == nullptr ||
            m_slots[index].generation != static_cast<std::uint32_t>(token >> 32)) {
            return nullptr;
        }
        return &m_slots[index];
    }

    std::uint32_t m_firstGeneration;
    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_free;
};
