#include "shell/StartUnderWay.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/CommandLine.h"

namespace {

constexpr const char* kProcesses = "/proc";

std::string LinkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

std::string ContentOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The switches of a process: its arguments after the program name, as its own command line
// would read them.
CCommandLine SwitchesOf(const std::string& processFolder) {
    std::string arguments = ContentOf(processFolder + "/cmdline");
    const std::size_t programEnd = arguments.find('\0');
    arguments.erase(0, programEnd == std::string::npos ? arguments.size() : programEnd + 1);
    for (char& c : arguments) {
        c = c == '\0' ? ' ' : c;
    }
    return CCommandLine(arguments);
}

// Whether a process started with the runtime folder this one has: "XDG_RUNTIME_DIR" set
// to the same text, or unset in both.
bool SharesRuntimeFolder(const std::string& processFolder) {
    static const std::string kName = "XDG_RUNTIME_DIR=";
    const char* own = std::getenv("XDG_RUNTIME_DIR");
    const std::string environment = ContentOf(processFolder + "/environ");
    for (std::size_t at = 0; at < environment.size();) {
        const std::size_t end = std::min(environment.find('\0', at), environment.size());
        if (environment.compare(at, kName.size(), kName) == 0) {
            return own != nullptr &&
                   environment.compare(at + kName.size(), end - at - kName.size(), own) == 0;
        }
        at = end + 1;
    }
    return own == nullptr;
}

bool IsProcessNumber(const char* name) {
    char* end = nullptr;
    return std::strtol(name, &end, 10) > 0 && *end == '\0';
}

}  // namespace

bool AnotherStartUnderWay() {
    const std::string self = std::to_string(::getpid());
    const std::string program = LinkTarget(std::string(kProcesses) + "/self/exe");
    DIR* dir = ::opendir(kProcesses);
    if (program.empty() || dir == nullptr) {
        if (dir != nullptr) {
            ::closedir(dir);
        }
        return false;
    }
    bool found = false;
    while (const dirent* item = ::readdir(dir)) {
        if (!IsProcessNumber(item->d_name) || self == item->d_name) {
            continue;
        }
        const std::string folder = std::string(kProcesses) + "/" + item->d_name;
        struct stat info {};
        if (::lstat(folder.c_str(), &info) == 0 && info.st_uid == ::geteuid() &&
            LinkTarget(folder + "/exe") == program && !SwitchesOf(folder).Has("/q") &&
            SharesRuntimeFolder(folder)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}
