#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reading and editing INI text in memory, with the rules of the private-profile
// functions: a line "[name]" opens a section, "key=value" sets a key, names match
// without regard to ASCII letter case, the first section and the first key of a name
// win, and white space around names and values does not count. Any other line, binary
// junk included, is kept as it is and otherwise ignored.
namespace ini {

// The value of `key` in `section`, without surrounding white space and without one pair
// of matching quotes ('...' or "..."); nullopt when the section or the key is absent.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// A value read as an integer the way the private-profile functions read one: optional sign,
// then leading digits (the rest ignored, wrapping like a 32-bit conversion); a value without
// digits reads 0, an absent or empty one `defaultValue`.
int IntValue(std::optional<std::string_view> value, int defaultValue);

// Whether a name or value can be stored on one line of the file: a line end would split
// it, an '=' in a key or a ']' in a section name would be read back differently.
bool IsStorableSection(std::string_view section);
bool IsStorableKey(std::string_view key);
bool IsStorableValue(std::string_view value);

// `text` with `key` in `section` set to `value`. The key's line is replaced where it
// exists, added at the end of its section where it does not, and the section is added at
// the end of the text where it is missing. Every other byte stays as it was. New lines
// end the way the text's first line does (CR LF or LF). Names must be storable.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace ini
