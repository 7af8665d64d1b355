#include "shell/StartUnderWay.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The switches of a process: its arguments after the program name, as its own command line
// would read them.
CCommandLine SwitchesOf(const std::string& processFolder) {
    std::ifstream file(processFolder + "/cmdline", std::ios::binary);
    std::string arguments((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t programEnd = arguments.find('\0');
    arguments.erase(0, programEnd == std::string::npos ? arguments.size() : programEnd + 1);
    for (char& c : arguments) {
        c = c == '\0' ? ' ' : c;
    }
    return CCommandLine(arguments);
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
            LinkTarget(folder + "/exe") == program && !SwitchesOf(folder).Has("/q")) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}
