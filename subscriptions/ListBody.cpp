#include "subscriptions/ListBody.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";

// A line that may hold a name: not blank, no comment or header, no markup.
bool MayGiveName(std::string_view line) {
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return false;
    }
    const char c = line[first];
    return c != '#' && c != '!' && c != '[' && c != '<';
}

}  // namespace

bool GivesAnyName(std::string_view body) {
    while (!body.empty()) {
        const std::size_t end = body.find('\n');
        if (MayGiveName(body.substr(0, end))) {
            return true;
        }
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
    }
    return false;
}
