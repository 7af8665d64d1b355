#include "TempProfileFolder.h"

#include <stdlib.h>

#include <fstream>

namespace dnstest {

namespace {

std::filesystem::path MakeTempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "dns-engine-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern;
}

}  // namespace

CTempProfileFolder::CTempProfileFolder()
    : m_folder(MakeTempFolder()), m_profile((m_folder / "NIMBREL.INI").string()) {}

CTempProfileFolder::~CTempProfileFolder() {
    std::error_code ignored;
    if (!m_folder.empty()) {
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void CTempProfileFolder::SetServers(const std::vector<std::string>& servers) const {
    for (std::size_t row = 0; row < servers.size(); ++row) {
        m_profile.WriteString("Proxy", "IP" + std::to_string(row + 1), servers[row]);
    }
}

void CTempProfileFolder::SetUseCode(int useCode) const {
    m_profile.WriteInt("Proxy", "UseCode", useCode);
}

void CTempProfileFolder::WriteFilterFile(std::string_view name, std::string_view text) const {
    std::ofstream(m_folder / name, std::ios::binary) << text;
    m_profile.WriteString("Preferences", "FilterPath", m_folder.string());
}

}  // namespace dnstest
