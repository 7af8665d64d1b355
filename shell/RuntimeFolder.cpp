#include "shell/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

RuntimePlace FindRuntimePlace() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return RuntimePlace{runtime, ""};
    }
    return RuntimePlace{"/tmp", "-" + std::to_string(::getuid())};
}
