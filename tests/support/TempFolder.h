#pragma once

#include <string>

#include "settings/ProfileStore.h"

namespace kit {

// A fresh folder under /tmp with a profile path inside it (the file is not created until
// something writes it); the folder and everything in it go with the object.
class CTempFolder {
public:
    explicit CTempFolder(const std::string& profileName = "NIMBREL.INI");
    ~CTempFolder();

    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    const ProfileStore& Profile() const { return m_profile; }

    // Writes a file of the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;
    // A file's whole text; empty when it does not exist.
    std::string Read(const std::string& name) const;
    std::string AddFolder(const std::string& name) const;

private:
    std::string m_path;
    ProfileStore m_profile;
};

}  // namespace kit
