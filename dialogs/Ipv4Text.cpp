#include "dialogs/Ipv4Text.h"

#include <arpa/inet.h>

#include <array>
#include <cstdio>

namespace {

// "255.255.255.255" and its terminator.
constexpr std::size_t kDottedTextSize = 16;
constexpr unsigned kByteBits = 8;
constexpr std::uint32_t kByteMask = 0xFF;

}  // namespace

std::string AddressText(std::uint32_t address) {
    std::array<char, kDottedTextSize> text{};
    std::snprintf(text.data(), text.size(), "%u.%u.%u.%u", (address >> 3 * kByteBits) & kByteMask,
                  (address >> 2 * kByteBits) & kByteMask, (address >> kByteBits) & kByteMask,
                  address & kByteMask);
    return text.data();
}

std::uint32_t AddressOfText(const std::string& text) {
    // inet_addr answers INADDR_NONE, the all-ones address, for what it cannot read.
    return ntohl(::inet_addr(text.c_str()));
}
