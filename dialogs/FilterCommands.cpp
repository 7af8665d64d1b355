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
    // The file the loader reads, whatever letter case the user gave its name, as an absolute
    // path: a relative folder such as "-x" or "http:x" would reach the editor's launcher as
    // an option or a URL.
    std::string folder = FilterFolder();
    if (!folder.empty() && folder.front() != '/') {
        folder = CurrentFolder() + "/" + folder;
    }
    m_desktop.OpenInEditor(FilterFilePath(folder, lowerCaseName));
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
