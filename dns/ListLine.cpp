#include "dns/ListLine.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace {

constexpr std::size_t kLongestName = 253;
constexpr std::size_t kLongestLabel = 63;

// The rest of an adblock rule after "^" that still means the whole host and nothing else.
constexpr std::string_view kWholeHostEnds[] = {"", "|", "$important"};

// Names in hosts files that stand for this machine or its network, never for a host to
// block: blocking them would break the machine's own name service.
constexpr std::string_view kLocalHostNames[] = {"localhost", "localhost.localdomain", "local",
                                                "broadcasthost", "0.0.0.0"};
constexpr std::string_view kLocalIpv6Prefix = "ip6-";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The text up to the first blank.
std::string_view Token(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

bool IsAddressOf(int family, std::string_view text) {
    std::array<char, INET6_ADDRSTRLEN + 1> terminated{};
    if (text.size() >= terminated.size()) {
        return false;
    }
    std::memcpy(terminated.data(), text.data(), text.size());
    std::array<unsigned char, sizeof(in6_addr)> address{};
    return ::inet_pton(family, terminated.data(), address.data()) == 1;
}

bool IsAddress(std::string_view text) {
    return IsAddressOf(AF_INET, text) || IsAddressOf(AF_INET6, text);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLabelByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// The name that `raw` spells, lower-cased and without one trailing dot, appended to `names`
// with its '\n'; an empty view (and `names` as it was) when `raw` is no name to take.
std::string_view AppendName(std::string_view raw, std::string& names) {
    if (!raw.empty() && raw.back() == '.') {
        raw.remove_suffix(1);
    }
    if (raw.empty() || raw.size() > kLongestName) {
        return {};
    }
    const std::size_t start = names.size();
    names.append(raw);
    std::size_t labels = 1;
    std::size_t labelLength = 0;
    bool allDigitsAndDots = true;
    for (std::size_t i = start; i < names.size(); ++i) {
        const char c = names[i] = LowerAscii(names[i]);
        if (c == '.') {
            if (labelLength == 0) {
                break;
            }
            ++labels;
            labelLength = 0;
            continue;
        }
        allDigitsAndDots = allDigitsAndDots && c >= '0' && c <= '9';
        if (!IsLabelByte(c) || ++labelLength > kLongestLabel) {
            labelLength = 0;
            break;
        }
    }
    const std::string_view name(names.data() + start, raw.size());
    if (labelLength == 0 || labels < 2 || (allDigitsAndDots && IsAddressOf(AF_INET, name))) {
        names.resize(start);
        return {};
    }
    names.push_back('\n');
    return std::string_view(names.data() + start, raw.size());
}

bool IsLocalHostName(std::string_view name) {
    return std::ranges::find(kLocalHostNames, name) != std::end(kLocalHostNames) ||
           name.starts_with(kLocalIpv6Prefix);
}

ListLine Taken(ListLineKind kind, std::size_t names) {
    return names == 0 ? ListLine{ListLineKind::kSkipped, 0} : ListLine{kind, names};
}

// "NAME^" and what may follow it, after the leading "||".
ListLine AdblockRule(std::string_view rule, ListLineKind kind, std::string& names) {
    const std::size_t caret = rule.find('^');
    const bool wholeHost =
        caret != std::string_view::npos &&
        std::ranges::find(kWholeHostEnds, rule.substr(caret + 1)) != std::end(kWholeHostEnds);
    return Taken(kind, wholeHost && !AppendName(rule.substr(0, caret), names).empty() ? 1 : 0);
}

// The names after a hosts line's address, up to a comment: a '#' after a blank. A '#' inside a
// name makes it none, as in the cosmetic rules "example.com##.banner" of adblock lists.
ListLine HostsNames(std::string_view rest, std::string& names) {
    std::size_t taken = 0;
    for (rest = Trimmed(rest); !rest.empty() && rest.front() != '#';) {
        const std::string_view raw = Token(rest);
        const std::size_t before = names.size();
        const std::string_view name = AppendName(raw, names);
        if (!name.empty() && IsLocalHostName(name)) {
            names.resize(before);
        } else if (!name.empty()) {
            ++taken;
        }
        rest = Trimmed(rest.substr(raw.size()));
    }
    return Taken(ListLineKind::kNames, taken);
}

// A name, maybe after "*." or ".", maybe followed by blanks and a '#' comment.
ListLine PlainName(std::string_view line, std::string& names) {
    if (line.starts_with("*.")) {
        line.remove_prefix(2);
    } else if (line.starts_with('.')) {
        line.remove_prefix(1);
    }
    const std::string_view raw = Token(line);
    const std::string_view rest = Trimmed(line.substr(raw.size()));
    if (!rest.empty() && rest.front() != '#') {
        return Taken(ListLineKind::kNames, 0);
    }
    return Taken(ListLineKind::kNames, AppendName(raw, names).empty() ? 0 : 1);
}

}  // namespace

ListLine ReadListLine(std::string_view line, std::string& names) {
    line = Trimmed(line);
    if (line.empty() || line.front() == '#' || line.front() == '!' || line.front() == '[') {
        return {};
    }
    if (line.starts_with("@@||")) {
        return AdblockRule(line.substr(4), ListLineKind::kExceptions, names);
    }
    if (line.starts_with("||")) {
        return AdblockRule(line.substr(2), ListLineKind::kNames, names);
    }
    const std::string_view first = Token(line);
    if (first.size() < line.size() && IsAddress(first)) {
        return HostsNames(line.substr(first.size()), names);
    }
    return PlainName(line, names);
}
