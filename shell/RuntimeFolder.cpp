#include "shell/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr mode_t kOthersAccess = S_IRWXG | S_IRWXO;

// Empty when `folder` is a private folder of `uid`, else what is wrong with it.
std::string WhyNotPrivate(const std::string& folder, uid_t uid) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return "cannot examine " + folder + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + " is not a folder";
    }
    if (info.st_uid != uid) {
        return folder + " belongs to another user";
    }
    if ((info.st_mode & kOthersAccess) != 0) {
        return folder + " is open to other users";
    }
    return "";
}

}  // namespace

RuntimePlace FindRuntimePlace(const char* runtimeDir, const std::string& tempFolder, uid_t uid) {
    if (runtimeDir != nullptr && runtimeDir[0] == '/' && WhyNotPrivate(runtimeDir, uid).empty()) {
        return RuntimePlace{runtimeDir, ""};
    }
    const std::string folder = tempFolder + "/nimbrel-" + std::to_string(uid);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return RuntimePlace{"", "cannot create " + folder + ": " + std::strerror(errno)};
    }
    std::string problem = WhyNotPrivate(folder, uid);
    return problem.empty() ? RuntimePlace{folder, ""} : RuntimePlace{"", std::move(problem)};
}

RuntimePlace FindRuntimePlace(const char* program) {
    RuntimePlace place = FindRuntimePlace(std::getenv("XDG_RUNTIME_DIR"), "/tmp", ::geteuid());
    if (place.folder.empty()) {
        std::fprintf(stderr, "%s: %s; running without the instance lock and command channel\n",
                     program, place.problem.c_str());
    }
    return place;
}
