#include "subscriptions/ListFileName.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint64_t kFnvOffsetBasis = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

std::uint64_t Fnv1a64(std::string_view text) {
    std::uint64_t hash = kFnvOffsetBasis;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return hash;
}

// The host of an absolute URL: after "://" and any user part, before the port or path.
std::string_view HostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        rest.remove_prefix(at + 1);
    }
    // An IPv6 address stands in brackets, with its colons.
    if (rest.starts_with('[')) {
        return rest.substr(0, rest.find(']') + 1);
    }
    return rest.substr(0, rest.find(':'));
}

}  // namespace

std::string ListFileName(std::string_view url) {
    std::string name;
    for (const char c : HostOf(url)) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        const bool kept = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') ||
                          lower == '.' || lower == '-';
        name += kept ? lower : '_';
    }
    // A leading "." would hide the file from the list loader.
    if (name.empty() || name.front() == '.') {
        name.insert(0, "list");
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(url)));
    return name + "-" + hash + ".txt";
}

std::string ListStateFileName(std::string_view listFileName) {
    std::string name = ".";
    name += listFileName;
    name += ".state";
    return name;
}
