#include "dns/FilterFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::string FilterFilePath(const std::string& folder, std::string_view lowerCaseName) {
    std::string chosen(lowerCaseName);
    if (const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str())); dir) {
        bool found = false;
        while (const dirent* item = ::readdir(dir.get())) {
            const std::string_view name(item->d_name);
            if (!EqualsNoCase(name, lowerCaseName)) {
                continue;
            }
            if (name == lowerCaseName) {
                chosen = name;
                break;
            }
            if (!found || name < chosen) {
                chosen = name;
                found = true;
            }
        }
    }
    return folder + "/" + chosen;
}

bool ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        text.reserve(static_cast<std::size_t>(info.st_size));
    }
    bool ok = true;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            text.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (!ok) {
        text.clear();
    }
    return ok;
}
