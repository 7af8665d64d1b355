#pragma once

#include <array>

// "UseCode" holds the upstream servers' checkboxes as five decimal digits, one per server
// row, row 1 in the ten-thousands. A digit's bit 1 is "If passed", its bit 0 "If not named";
// digits above the five are ignored.
namespace dns {

inline constexpr int kServerRows = 5;
inline constexpr std::array<int, kServerRows> kRowDigitWeights = {10000, 1000, 100, 10, 1};
inline constexpr int kNotNamedDigitBit = 1;
inline constexpr int kPassedDigitBit = 2;

// The digit of `row` (0 for row 1). A negative value (no dialog writes one) has all digits 0.
int RowDigit(int useCode, int row);

// Selection masks: bit j selects upstream table entry j, whose digit is that of row j + 1.
int PassMask(int useCode);
int NotNamedMask(int useCode);

}  // namespace dns
