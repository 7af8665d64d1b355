#include "dialogs/FilterCommands.h"

#include "dns/FilterFile.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

CFilterCommands::CFilterCommands(const ProfileStore& profile, IDesktop& desktop)
    : m_profile(profile), m_desktop(desktop) {}

void CFilterCommands::EditList(std::string_view lowerCaseName) const {
    // The file the loader reads, whatever letter case the user gave its name.
    m_desktop.OpenInEditor(FilterFilePath(FilterFolder(m_profile), lowerCaseName));
}

void CFilterCommands::OnModifyNamed() const {
    EditList(kNamedListFile);
}

void CFilterCommands::OnModifyPass() const {
    EditList(kPassListFile);
}

void CFilterCommands::OnSelectFilterFolder() const {
    std::string chosen;
    if (m_desktop.ChooseFolder(kFolderChooserTitle, FilterFolder(m_profile), chosen)) {
        m_profile.WriteString(profile::kPreferences, profile::kFilterPath, chosen);
    }
}
