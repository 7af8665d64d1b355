#include "tests/dialogs/TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace dialogtest {
namespace {

std::string MakeTempFolder() {
    char pattern[] = "/tmp/nq-dialogs-XXXXXX";
    return ::mkdtemp(pattern) != nullptr ? pattern : "";
}

}  // namespace

CTempFolder::CTempFolder() : m_path(MakeTempFolder()), m_profile(m_path + "/NIMBREL.INI") {}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CTempFolder::ProfileText() const {
    std::ifstream file(m_profile.Path());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string CTempFolder::AddFile(const std::string& name) const {
    const std::string path = m_path + "/" + name;
    std::ofstream{path};
    return path;
}

std::string CTempFolder::AddFolder(const std::string& name) const {
    const std::string path = m_path + "/" + name;
    std::filesystem::create_directory(path);
    return path;
}

}  // namespace dialogtest
