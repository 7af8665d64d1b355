#include "net/ServiceFailure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "net/SocketErrors.h"

void ReportServiceFailure(const char* program, const char* step, const char* address, unsigned port,
                          int socketError) {
    const int reason = socketError == WSAEINVAL ? EINVAL : socketError;
    std::fprintf(stderr, "%s: cannot %s %s:%u: %s\n", program, step, address, port,
                 std::strerror(reason));
}
