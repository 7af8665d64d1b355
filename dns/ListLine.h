#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What one line of a list file in the `block` or `allow` folder gives.
enum class ListLineKind {
    kNothing,     // blank, a comment ('#', '!') or an adblock header ('[')
    kNames,       // names for the side of the folder the file lies in
    kExceptions,  // an adblock exception "@@||name^": names for the allow side in any folder
    kSkipped,     // a line that gives no name: a rule meant for a browser, or malformed
};

struct ListLine {
    ListLineKind kind = ListLineKind::kNothing;
    std::size_t names = 0;  // names appended, at least one for kNames and kExceptions
};

// Reads one line (its line end may still be there) of a hosts file, an adblock list or a
// list of domains. Each name it takes is appended to `names` lower-cased, without a trailing
// dot and followed by '\n'; `names` is left as it was for kNothing and kSkipped.
//
// A name is taken only when it is a host name of at least two labels, each of 1 to 63
// letters, digits, '-' or '_', at most 253 bytes, and not an IPv4 address: under the
// label-run rule a single label such as "ads" would catch every name with such a label.
ListLine ReadListLine(std::string_view line, std::string& names);
