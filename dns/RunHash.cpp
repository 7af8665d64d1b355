#include "dns/RunHash.h"

#include <array>

namespace RunHash {
namespace {

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kPrime = (std::uint64_t{1} << 61) - 1;
constexpr std::uint64_t kBase = 0x1F3A5C7E9B2D4F61ull % kPrime;
constexpr std::size_t kTabledPowers = 1024;

constexpr std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    std::uint64_t sum =
        static_cast<std::uint64_t>(product & kPrime) + static_cast<std::uint64_t>(product >> 61);
    return sum >= kPrime ? sum - kPrime : sum;
}

constexpr std::uint64_t AddMod(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t sum = a + b;
    return sum >= kPrime ? sum - kPrime : sum;
}

// Bytes count from 1 so that leading zero bytes still change the hash.
constexpr std::uint64_t Digit(char c) {
    return static_cast<unsigned char>(c) + 1u;
}

std::uint64_t PowerOfBase(std::size_t exponent) {
    static const std::array<std::uint64_t, kTabledPowers> table = [] {
        std::array<std::uint64_t, kTabledPowers> powers{};
        powers[0] = 1;
        for (std::size_t i = 1; i < kTabledPowers; ++i) {
            powers[i] = MulMod(powers[i - 1], kBase);
        }
        return powers;
    }();
    if (exponent < kTabledPowers) {
        return table[exponent];
    }
    std::uint64_t result = 1;
    std::uint64_t square = kBase;
    for (; exponent != 0; exponent >>= 1) {
        if ((exponent & 1) != 0) {
            result = MulMod(result, square);
        }
        square = MulMod(square, square);
    }
    return result;
}

}  // namespace

std::uint64_t Of(std::string_view text) {
    std::uint64_t hash = 0;
    for (const char c : text) {
        hash = AddMod(MulMod(hash, kBase), Digit(c));
    }
    return hash;
}

void Prefixes(std::string_view text, std::uint64_t* prefix) {
    prefix[0] = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        prefix[i + 1] = AddMod(MulMod(prefix[i], kBase), Digit(text[i]));
    }
}

std::uint64_t OfRange(const std::uint64_t* prefix, std::size_t begin, std::size_t end) {
    const std::uint64_t shifted = MulMod(prefix[begin], PowerOfBase(end - begin));
    return AddMod(prefix[end], kPrime - shifted);
}

}  // namespace RunHash
