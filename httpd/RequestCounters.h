#pragma once

#include <cstdint>

namespace httpd {

// How one request ended: a picture went back (the built-in one or an image file), another
// reply went back (the 404 line or a bare line end), or the connection was closed without
// a reply (not from this machine, or a request too long).
enum class RequestOutcome { kPicture, kNoPicture, kRefused };

// The requests the image server has ended, in all and by the two outcomes that count.
struct RequestCounters {
    std::uint64_t requests = 0;
    std::uint64_t pictures = 0;
    std::uint64_t refused = 0;

    void Count(RequestOutcome outcome) {
        ++requests;
        pictures += outcome == RequestOutcome::kPicture ? 1 : 0;
        refused += outcome == RequestOutcome::kRefused ? 1 : 0;
    }
};

}  // namespace httpd
