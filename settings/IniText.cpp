#include "settings/IniText.h"

#include <algorithm>
#include <cstdint>

namespace ini {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// One line of the text: where it starts, its content without the line end, and where the
// next line starts.
struct Line {
    std::size_t begin = 0;
    std::string_view content;
    std::size_t next = 0;
};

class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}

    bool Next(Line& line) {
        if (m_pos >= m_text.size()) {
            return false;
        }
        const std::size_t end = m_text.find('\n', m_pos);
        line.begin = m_pos;
        line.next = end == std::string_view::npos ? m_text.size() : end + 1;
        line.content =
            m_text.substr(m_pos, (end == std::string_view::npos ? m_text.size() : end) - m_pos);
        if (!line.content.empty() && line.content.back() == '\r') {
            line.content.remove_suffix(1);
        }
        m_pos = line.next;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// The name of a section header line, or nullopt for any other line. A header without its
// closing bracket names everything after the opening one.
std::optional<std::string_view> SectionName(std::string_view content) {
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    std::string_view name = trimmed.substr(1);
    const std::size_t close = name.find(']');
    if (close != std::string_view::npos) {
        name = name.substr(0, close);
    }
    return Trim(name);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view content) {
    const std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{Trim(content.substr(0, eq)), Trim(content.substr(eq + 1))};
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where a key was found, or where its section ends, for an edit.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    std::size_t sectionEnd = 0;  // just past the section's last non-blank line
    bool sectionEndHasLineEnd = true;
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
    Location where;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    while (cursor.Next(line)) {
        if (const auto name = SectionName(line.content)) {
            if (inSection) {
                break;  // only the first section of that name counts
            }
            inSection = EqualsNoCase(*name, section);
            if (inSection) {
                where.sectionFound = true;
                where.sectionEnd = line.next;
                where.sectionEndHasLineEnd = line.next > line.begin && text[line.next - 1] == '\n';
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto entry = ParseKeyLine(line.content); entry && EqualsNoCase(entry->key, key)) {
            where.keyFound = true;
            where.keyLine = line;
            return where;
        }
        if (!Trim(line.content).empty()) {
            where.sectionEnd = line.next;
            where.sectionEndHasLineEnd = text[line.next - 1] == '\n';
        }
    }
    return where;
}

std::string_view LineEndOf(std::string_view text) {
    const std::size_t end = text.find('\n');
    return (end != std::string_view::npos && end > 0 && text[end - 1] == '\r') ? "\r\n" : "\n";
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    const Location where = Locate(text, section, key);
    if (!where.keyFound) {
        return std::nullopt;
    }
    return Unquote(ParseKeyLine(where.keyLine.content)->value);
}

bool IsStorableSection(std::string_view section) {
    return !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool IsStorableKey(std::string_view key) {
    return !HasLineBreak(key) && key.find('=') == std::string_view::npos && !Trim(key).empty() &&
           Trim(key).front() != '[';
}

bool IsStorableValue(std::string_view value) {
    return !HasLineBreak(value);
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    const std::string_view lineEnd = LineEndOf(text);
    std::string entry;
    entry.reserve(key.size() + 1 + value.size());
    entry.append(key).append("=").append(value);

    const Location where = Locate(text, section, key);
    std::string result;
    result.reserve(text.size() + entry.size() + section.size() + 8);
    if (where.keyFound) {
        const std::size_t contentEnd = where.keyLine.begin + where.keyLine.content.size();
        result.append(text.substr(0, where.keyLine.begin));
        result.append(entry);
        result.append(text.substr(contentEnd));
    } else if (where.sectionFound) {
        result.append(text.substr(0, where.sectionEnd));
        if (!where.sectionEndHasLineEnd) {
            result.append(lineEnd);
        }
        result.append(entry).append(lineEnd);
        result.append(text.substr(where.sectionEnd));
    } else {
        result.append(text);
        if (!text.empty() && text.back() != '\n') {
            result.append(lineEnd);
        }
        if (!text.empty()) {
            result.append(lineEnd);
        }
        result.append("[").append(section).append("]").append(lineEnd);
        result.append(entry).append(lineEnd);
    }
    return result;
}

int IntValue(std::optional<std::string_view> value, int defaultValue) {
    if (!value || value->empty()) {
        return defaultValue;
    }
    const std::string_view text = *value;
    std::size_t pos = 0;
    bool negative = false;
    if (text[pos] == '-' || text[pos] == '+') {
        negative = text[pos] == '-';
        ++pos;
    }
    std::uint32_t number = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        number = number * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    if (negative) {
        number = 0u - number;
    }
    return static_cast<int>(number);
}

}  // namespace ini
