#pragma once

#include <string>

#include "settings/ProfileStore.h"

namespace dialogtest {

// A temporary folder with a profile path inside it (the file is not created); the folder
// and everything in it go with the object.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();

    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    const ProfileStore& Profile() const { return m_profile; }
    // The profile's whole text; empty when it does not exist.
    std::string ProfileText() const;
    // Creates an empty file or folder inside the folder and returns its path.
    std::string AddFile(const std::string& name) const;
    std::string AddFolder(const std::string& name) const;

private:
    std::string m_path;
    ProfileStore m_profile;
};

}  // namespace dialogtest
