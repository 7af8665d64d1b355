#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/Desktop.h"
#include "tests/dialogs/FakeDialogControls.h"

namespace dialogtest {

// A desktop whose user follows a script: a dialog opens on fake controls and the script
// acts on them and answers IDOK or IDCANCEL (a dialog without a script is cancelled at
// once, after it has opened); the folder chooser returns the scripted folder or is
// cancelled; files handed to the editor are recorded instead of opened.
class CScriptedDesktop : public IDesktop {
public:
    template <typename Dialog>
    using User = std::function<int(CFakeDialogControls&, const Dialog&)>;

    struct FolderRequest {
        std::string title;
        std::string start;
    };

    std::unique_ptr<INotificationArea> CreateNotificationArea(const std::string&) override;
    void ShowMessage(const std::string&, const std::string&) override {}
    void RunAbout(const AboutInfo&) override {}
    int RunDialog(CIPInfoDialog& dialog) override;
    int RunDialog(CProxyDNSDialog& dialog) override;
    bool ChooseFolder(const std::string& title, const std::string& start,
                      std::string& folder) override;
    void OpenInEditor(const std::string& path) override { openedFiles.push_back(path); }
    void Run(CReactor&) override {}
    void Quit() override {}

    User<CIPInfoDialog> ipInfoUser;
    User<CProxyDNSDialog> proxyDNSUser;
    std::optional<std::string> folderToChoose;

    int dialogRuns = 0;
    std::vector<FolderRequest> folderRequests;
    std::vector<std::string> openedFiles;
};

}  // namespace dialogtest
