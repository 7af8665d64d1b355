// A filter file through the loader and the index, checked against the matching rule
// written out step by step. The first two input bytes give the length of the file's text
// that follows; the rest holds the names to look up, one per line.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dns/NameFilter.h"
#include "dns/ReferenceMatcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::size_t listLength = std::min<std::size_t>((data[0] << 8) | data[1], input.size());
    const std::string_view text = input.substr(0, listLength);

    CNameFilter filter;
    filter.Assign(std::string(text));
    const std::vector<std::string> entries = reference::Entries(text);
    if (filter.EntryCount() != entries.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (filter.Entry(i) != entries[i]) {
            std::abort();
        }
    }
    std::string_view names = input.substr(listLength);
    while (!names.empty()) {
        const std::size_t end = names.find('\n');
        const std::string name(names.substr(0, end));
        names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
        if (filter.Matches(name) != reference::MatchesAny(entries, name)) {
            std::abort();
        }
    }
    return 0;
}
