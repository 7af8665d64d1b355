#pragma once

#include <cstdint>

// The image server's one pseudo-random sequence. It starts from state 1 and is never
// seeded again, so the n-th connection after start always picks the same image. Owned by
// the image server for the life of the process.
class CRandomGenerator {
public:
    static constexpr int kMaxValue = 0x7FFF;

    // Advances the state and returns a value from 0 to kMaxValue.
    int Next() {
        m_state = m_state * kMultiplier + kIncrement;
        return static_cast<int>((m_state >> 16) & kMaxValue);
    }

private:
    static constexpr std::uint32_t kMultiplier = 214013;
    static constexpr std::uint32_t kIncrement = 2531011;

    std::uint32_t m_state = 1;
};
