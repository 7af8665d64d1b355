#pragma once

#include <cstdint>
#include <string>

// Conversions between an IPv4 address held as a 32-bit number (first field in the most
// significant byte) and its text.

// Dotted decimal: 10.0.0.1, 0.0.0.0.
std::string AddressText(std::uint32_t address);

// The address a text names in any form the classic address parser accepts ("10.0.0.1",
// "10.1", "0x0a000001"). A text it cannot read gives the all-ones address 255.255.255.255.
std::uint32_t AddressOfText(const std::string& text);
