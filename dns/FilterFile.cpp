#include "dns/FilterFile.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"

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

std::string FilterFolder(const ProfileStore& settings) {
    char buffer[PATH_MAX];
    const std::string current = ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : ".";
    const std::string folder =
        settings.ReadString(profile::kPreferences, profile::kFilterPath, current);
    return folder.empty() || folder.front() == '/' ? folder : current + "/" + folder;
}
