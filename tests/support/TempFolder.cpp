#include "tests/support/TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kit {
namespace {

std::string MakeTempFolder() {
    char pattern[] = "/tmp/nq-test-XXXXXX";
    return ::mkdtemp(pattern) != nullptr ? pattern : "";
}

}  // namespace

CTempFolder::CTempFolder(const std::string& profileName)
    : m_path(MakeTempFolder()), m_profile(m_path + "/" + profileName) {}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string CTempFolder::Write(const std::string& name, const std::string& text) const {
    const std::string path = m_path + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string CTempFolder::Read(const std::string& name) const {
    std::ifstream file(m_path + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string CTempFolder::AddFolder(const std::string& name) const {
    const std::string path = m_path + "/" + name;
    std::filesystem::create_directory(path);
    return path;
}

}  // namespace kit
