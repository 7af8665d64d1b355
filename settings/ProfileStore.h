#pragma once

#include <span>
#include <string>
#include <string_view>

// One key's new value, for a write of several keys at once.
struct ProfileEntry {
    std::string_view section;
    std::string_view key;
    std::string value;
};

// A program's settings file: INI text with sections and "key=value" lines.
//
// Section and key names match without regard to letter case. Every call goes to the
// file: nothing is cached, so a value written anywhere is seen by the very next read.
// A missing file or key reads as the caller's default. A write replaces only the line
// of its key (or adds it), keeps every other byte of the file as it was, and replaces
// the file atomically (temporary file in the same folder, synced, then renamed, then the
// folder synced); the folder and the file are created by the first write. Writes report failure
// through their result and never throw.
class ProfileStore {
public:
    // Longest string value handed back by ReadString, in characters.
    static constexpr std::size_t kMaxStringLength = 4095;

    explicit ProfileStore(std::string path);

    // Where a program keeps its profile: $XDG_CONFIG_HOME (default ~/.config), named after
    // the executable's base name without extension, in upper case, plus ".INI".
    static std::string DefaultPath(std::string_view executablePath);

    const std::string& Path() const { return m_path; }

    // Reads like the platform's integer conversion: optional sign, then leading digits; the
    // rest of the value is ignored, a value without digits reads 0, an empty one the default.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    bool WriteInt(std::string_view section, std::string_view key, int value) const;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    // Writes every entry, in order, with one replacement of the file: a reader, or a crash,
    // sees all of them or none. When any of them cannot be stored nothing is written.
    bool WriteStrings(std::span<const ProfileEntry> entries) const;

private:
    std::string m_path;
};
