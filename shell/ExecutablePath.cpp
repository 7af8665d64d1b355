#include "shell/ExecutablePath.h"

#include <unistd.h>

#include <climits>

std::string ExecutablePath(const char* argv0) {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        return std::string(path, static_cast<std::size_t>(length));
    }
    return argv0 != nullptr ? argv0 : "";
}
