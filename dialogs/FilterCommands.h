#pragma once

#include <string>
#include <string_view>

class IDesktop;
class ProfileStore;

// The main window's commands for the filter lists: open "named.txt" or "pass.txt" of the
// filter folder in the user's editor, and choose the filter folder ("FilterPath"). The
// folder is read afresh by each command; without a stored one it is the current directory,
// and a relative one is taken from there.
// None of them reloads the lists, and none waits for the editor.
class CFilterCommands {
public:
    static constexpr const char* kFolderChooserTitle = "Select Filter Folder";

    // Neither reference is owned; both must outlive the commands.
    CFilterCommands(const ProfileStore& profile, IDesktop& desktop);

    void OnModifyNamed() const;
    void OnModifyPass() const;
    // Shows the folder chooser at the folder in use; a chosen folder is stored at once,
    // a cancelled chooser stores nothing.
    void OnSelectFilterFolder() const;

private:
    void EditList(std::string_view lowerCaseName) const;

    const ProfileStore& m_profile;
    IDesktop& m_desktop;
};
