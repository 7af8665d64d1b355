#include "dns/ReferenceMatcher.h"

namespace reference {

std::vector<std::string> Entries(std::string_view text) {
    std::vector<std::string> entries;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            entries.push_back(line);
            line.clear();
            open = false;
            continue;
        }
        line.push_back(c);
        open = true;
    }
    if (open) {
        entries.push_back(line);
    }
    for (std::string& entry : entries) {
        std::size_t skip = 0;
        while (skip < entry.size() &&
               std::string(" \t\r\n\v\f").find(entry[skip]) != std::string::npos) {
            ++skip;
        }
        entry.erase(0, skip);
        for (char& c : entry) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + ('a' - 'A'));
            }
        }
    }
    return entries;
}

bool MatchesEntry(const std::string& entry, const std::string& name) {
    // 1. Equal texts match.
    if (name == entry) {
        return true;
    }
    // 2. The first occurrence, searching from the start.
    std::size_t place = std::string::npos;
    for (std::size_t i = 0; i + entry.size() <= name.size(); ++i) {
        if (name.compare(i, entry.size(), entry) == 0) {
            place = i;
            break;
        }
    }
    if (place == std::string::npos) {
        return false;
    }
    const std::size_t after = place + entry.size();
    // 3. At the start of the name: a dot must follow.
    if (place == 0) {
        return after < name.size() && name[after] == '.';
    }
    // 4. Elsewhere: a dot before, then the end of the name or a dot after.
    if (name[place - 1] != '.') {
        return false;
    }
    if (after == name.size()) {
        return true;
    }
    return name[after] == '.';
}

bool MatchesAny(const std::vector<std::string>& entries, const std::string& name) {
    for (const std::string& entry : entries) {
        if (MatchesEntry(entry, name)) {
            return true;
        }
    }
    return false;
}

}  // namespace reference
