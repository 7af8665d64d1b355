#include "dns/FilterFileLine.h"

#include "settings/FileReplacement.h"
#include "settings/TextFile.h"

namespace dns {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A line as the list loader reads it: without its line end and leading white space, A-Z
// as a-z, compared with `entry`.
bool HoldsEntry(std::string_view line, std::string_view entry) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        line.remove_prefix(1);
    }
    if (line.size() != entry.size()) {
        return false;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (Lower(line[i]) != Lower(entry[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsListableName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string WithLineAdded(std::string_view text, std::string_view line) {
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string_view::npos ? text.size() : end;
        if (HoldsEntry(text.substr(begin, end - begin), line)) {
            return std::string(text);
        }
        begin = end + 1;
    }
    const std::size_t firstEnd = text.find('\n');
    const std::string_view lineEnd =
        firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r' ? "\r\n"
                                                                                         : "\n";
    std::string added(text);
    if (!added.empty() && added.back() != '\n') {
        added += lineEnd;
    }
    added += line;
    added += lineEnd;
    return added;
}

AddLineResult AddFilterLine(const std::string& path, std::string_view line) {
    std::string text;
    if (ReadTextFile(path, text) == ReadResult::kFailed) {
        return AddLineResult::kFailed;
    }
    std::string added = WithLineAdded(text, line);
    if (added.size() == text.size()) {
        return AddLineResult::kAlreadyListed;
    }
    return ReplaceFile(path, added) ? AddLineResult::kAdded : AddLineResult::kFailed;
}

}  // namespace dns
