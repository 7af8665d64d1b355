#pragma once

#include <cstddef>
#include <string>

// The most a list's body may hold, decompressed.
inline constexpr std::size_t kMaxListBytes = std::size_t{64} << 20;

// What one download brought: either a transport failure (`failure` set: no connection, a
// time-out, a TLS error, too many redirects, a body over kMaxListBytes) or the final
// response's status, body and validators.
struct FetchResult {
    std::string failure;
    long status = 0;
    std::string body;
    std::string etag;
    std::string lastModified;
};
