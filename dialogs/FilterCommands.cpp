#include "dialogs/FilterCommands.h"

#include <unistd.h>

#include <climits>

#include "dns/FilterFile.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kFilterPathKey = "FilterPath";
constexpr std::string_view kNamedList = "named.txt";
constexpr std::string_view kPassList = "pass.txt";

// The same folder the filter loader falls back to.
std::string CurrentFolder() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) != nullptr) {
        return buffer;
    }
    return ".";
}

}  // namespace

CFilterCommands::CFilterCommands(const ProfileStore& profile, IDesktop& desktop)
    : m_profile(profile), m_desktop(desktop) {}

std::string CFilterCommands::FilterFolder() const {
    return m_profile.ReadString(kPreferences, kFilterPathKey, CurrentFolder());
}

void CFilterCommands::EditList(std::string_view lowerCaseName) const {
    // The file the loader reads, whatever letter case the user gave its name.
    m_desktop.OpenInEditor(FilterFilePath(FilterFolder(), lowerCaseName));
}

void CFilterCommands::OnModifyNamed() const {
    EditList(kNamedList);
}

void CFilterCommands::OnModifyPass() const {
    EditList(kPassList);
}

void CFilterCommands::OnSelectFilterFolder() const {
    std::string chosen;
    if (m_desktop.ChooseFolder(kFolderChooserTitle, FilterFolder(), chosen)) {
        m_profile.WriteString(kPreferences, kFilterPathKey, chosen);
    }
}
