#include "net/ServiceFailure.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/SocketErrors.h"

namespace {

// This program's file, for the command that gives it the right to bind a low port.
std::string ExecutableFile() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : "PROGRAM";
}

std::string Remedy(int reason, unsigned port, int socketType) {
    if (reason == EADDRINUSE) {
        return std::string("; the program that holds the port: sudo ss -l") +
               (socketType == SOCK_DGRAM ? "u" : "t") + "np 'sport = :" + std::to_string(port) +
               "'";
    }
    if (reason == EACCES) {
        return "; the right to bind it: sudo setcap cap_net_bind_service=+ep " + ExecutableFile();
    }
    return "";
}

}  // namespace

std::string ServiceFailureLine(const char* program, const char* step, const char* address,
                               unsigned port, int socketType, int socketError) {
    const int reason = socketError == WSAEINVAL ? EINVAL : socketError;
    return std::string(program) + ": cannot " + step + " " + address + ":" + std::to_string(port) +
           ": " + std::strerror(reason) + Remedy(reason, port, socketType);
}

void ReportServiceFailure(const char* program, const char* step, const char* address, unsigned port,
                          int socketType, int socketError) {
    std::fprintf(stderr, "%s\n",
                 ServiceFailureLine(program, step, address, port, socketType, socketError).c_str());
}
