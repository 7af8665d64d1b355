#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileStore.h"

namespace dnstest {

// A temporary folder holding a profile and the filter files; removed with the object.
class CTempProfileFolder {
public:
    CTempProfileFolder();
    ~CTempProfileFolder();

    CTempProfileFolder(const CTempProfileFolder&) = delete;
    CTempProfileFolder& operator=(const CTempProfileFolder&) = delete;

    bool IsValid() const { return !m_folder.empty(); }
    const ProfileStore& Profile() const { return m_profile; }

    // Writes "IP1", "IP2", ... in order with the given texts.
    void SetServers(const std::vector<std::string>& servers) const;
    void SetUseCode(int useCode) const;
    // Writes a file into the folder and points "FilterPath" at the folder.
    void WriteFilterFile(std::string_view name, std::string_view text) const;

private:
    std::filesystem::path m_folder;
    ProfileStore m_profile;
};

}  // namespace dnstest
