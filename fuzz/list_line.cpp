// Lines of a list file through the line reader, one per input line. Whatever a line holds,
// the reader appends only to the end of the names, exactly as many as it reports, and only
// names that obey the name rule: each reads back as itself.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dns/ListLine.h"

namespace {

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void CheckLine(std::string_view line) {
    std::string names = "before\n";
    const ListLine result = ReadListLine(line, names);
    Check(names.starts_with("before\n"));
    std::string_view added(names);
    added.remove_prefix(7);
    const bool takes =
        result.kind == ListLineKind::kNames || result.kind == ListLineKind::kExceptions;
    Check(takes == (result.names > 0) && takes == !added.empty());
    std::size_t count = 0;
    while (!added.empty()) {
        const std::size_t end = added.find('\n');
        Check(end != std::string_view::npos);
        // Read again as a line of its own, a name that obeys the rule gives itself unchanged.
        const std::string name(added.substr(0, end));
        std::string again;
        const ListLine reread = ReadListLine(name, again);
        Check(reread.kind == ListLineKind::kNames && reread.names == 1 && again == name + "\n");
        added.remove_prefix(end + 1);
        ++count;
    }
    Check(count == result.names);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        CheckLine(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    return 0;
}
