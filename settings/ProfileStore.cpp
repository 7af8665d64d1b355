#include "settings/ProfileStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/UniqueFd.h"
#include "settings/FileReplacement.h"
#include "settings/IniText.h"
#include "settings/TextFile.h"

namespace {

// A profile reached through a symbolic link is written where the link points, so the link
// survives the rename.
std::string WriteTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/";
}

}  // namespace

ProfileStore::ProfileStore(std::string path) : m_path(std::move(path)) {}

std::string ProfileStore::DefaultPath(std::string_view executablePath) {
    std::string_view name = executablePath;
    if (const std::size_t slash = name.rfind('/'); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    std::string fileName(name);
    for (char& c : fileName) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    fileName += ".INI";

    std::string folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME");
        config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        folder = HomeFolder() + "/.config";
    }
    return folder + "/" + fileName;
}

int ProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::string text;
    if (ReadTextFile(m_path, text) != ReadResult::kRead) {
        return defaultValue;
    }
    return ini::IntValue(ini::FindValue(text, section, key), defaultValue);
}

std::string ProfileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    std::string text;
    std::string_view found = defaultValue;
    std::optional<std::string_view> value;
    if (ReadTextFile(m_path, text) == ReadResult::kRead &&
        (value = ini::FindValue(text, section, key))) {
        found = *value;
    }
    return std::string(found.substr(0, kMaxStringLength));
}

bool ProfileStore::WriteInt(std::string_view section, std::string_view key, int value) const {
    return WriteString(section, key, std::to_string(value));
}

bool ProfileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) const {
    const ProfileEntry entry{section, key, std::string(value)};
    return WriteStrings({&entry, 1});
}

bool ProfileStore::WriteStrings(std::span<const ProfileEntry> entries) const {
    for (const ProfileEntry& entry : entries) {
        if (!ini::IsStorableSection(entry.section) || !ini::IsStorableKey(entry.key) ||
            !ini::IsStorableValue(entry.value)) {
            return false;
        }
    }
    const std::string target = WriteTarget(m_path);
    std::string text;
    if (ReadTextFile(target, text) == ReadResult::kFailed) {
        return false;  // rewriting a file we cannot read would lose its other lines
    }
    for (const ProfileEntry& entry : entries) {
        text = ini::SetValue(text, entry.section, entry.key, entry.value);
    }
    return ReplaceFile(target, text);
}
