#include "dns/UseCode.h"

namespace dns {
namespace {

constexpr int kDigitBase = 10;

int MaskOfDigitBit(int useCode, int digitBit) {
    int mask = 0;
    for (int row = 0; row < kServerRows; ++row) {
        if ((RowDigit(useCode, row) & digitBit) != 0) {
            mask |= 1 << row;
        }
    }
    return mask;
}

}  // namespace

int RowDigit(int useCode, int row) {
    if (useCode < 0) {
        return 0;
    }
    return (useCode / kRowDigitWeights[row]) % kDigitBase;
}

int PassMask(int useCode) {
    return MaskOfDigitBit(useCode, kPassedDigitBit);
}

int NotNamedMask(int useCode) {
    return MaskOfDigitBit(useCode, kNotNamedDigitBit);
}

}  // namespace dns
