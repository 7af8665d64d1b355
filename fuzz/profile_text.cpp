// A profile's text through the reads and the in-memory rewrite of one key, without a disk.
// The first three input bytes give the lengths of a section name, a key and a value that
// follow; the rest is the text. What is written must read back, and every other line of
// the text must stay as it was, byte for byte.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/IniText.h"

namespace {

std::string_view Take(std::string_view& input, std::size_t length) {
    const std::string_view taken = input.substr(0, std::min(length, input.size()));
    input.remove_prefix(taken.size());
    return taken;
}

// The changed part of `after` against `before`: what lies between their common start and
// their common end.
std::string_view ChangedPart(std::string_view before, std::string_view after) {
    std::size_t start = 0;
    while (start < before.size() && start < after.size() && before[start] == after[start]) {
        ++start;
    }
    std::size_t end = 0;
    while (end < before.size() - start && end < after.size() - start &&
           before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    return before.substr(start, before.size() - start - end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::string_view section = Take(input, data[0] % 16);
    const std::string_view key = Take(input, data[1] % 16);
    const std::string_view value = Take(input, data[2] % 32);
    const std::string_view text = input;

    ini::IntValue(ini::FindValue(text, section, key), 0);
    if (!ini::IsStorableSection(section) || !ini::IsStorableKey(key) ||
        !ini::IsStorableValue(value)) {
        return 0;
    }
    const std::string written = ini::SetValue(text, section, key, value);
    // The value reads back as it reads from a profile that holds only it.
    std::string alone = "[";
    alone.append(section).append("]\n").append(key).append("=").append(value).append("\n");
    if (ini::FindValue(written, section, key) != ini::FindValue(alone, section, key)) {
        std::abort();
    }
    // Only the key's own line, if it had one, may be gone.
    const std::string_view gone = ChangedPart(text, written);
    if (std::count(gone.begin(), gone.end(), '\n') > 1) {
        std::abort();
    }
    return 0;
}
