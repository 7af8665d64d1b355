#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/BlockListsDialog.h"
#include "dialogs/IPInfoDialog.h"
#include "dialogs/ProxyDNSDialog.h"
#include "shell/Desktop.h"
#include "shell/HeadlessNotificationArea.h"
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

    std::unique_ptr<INotificationArea> CreateNotificationArea(const std::string&) override {
        return std::make_unique<CHeadlessNotificationArea>();
    }
    void ShowMessage(const std::string&, const std::string& text) override {
        messages.push_back(text);
    }
    void RunAbout(const AboutInfo&) override {}
    int RunDialog(CIPInfoDialog& dialog) override { return RunScripted(dialog, ipInfoUser); }
    int RunDialog(CProxyDNSDialog& dialog) override { return RunScripted(dialog, proxyDNSUser); }
    void ShowActivity(CActivityDialog&) override {}
    void CloseActivity() override {}
    int RunDialog(CBlockListsDialog& dialog) override {
        ++dialogRuns;
        dialog.OnInitDialog();
        const int result = blockListsUser ? blockListsUser(dialog) : IDCANCEL;
        return result == IDOK && dialog.OnOK() ? IDOK : IDCANCEL;
    }
    bool ChooseFolder(const std::string& title, const std::string& start,
                      std::string& folder) override {
        folderRequests.push_back({title, start});
        folder = folderToChoose.value_or(folder);
        return folderToChoose.has_value();
    }
    void OpenInEditor(const std::string& path) override { openedFiles.push_back(path); }
    void Run(CReactor&) override {}
    void Quit() override {}

    User<CIPInfoDialog> ipInfoUser;
    User<CProxyDNSDialog> proxyDNSUser;
    std::function<int(CBlockListsDialog&)> blockListsUser;
    std::optional<std::string> folderToChoose;

    int dialogRuns = 0;
    std::vector<FolderRequest> folderRequests;
    std::vector<std::string> openedFiles;
    std::vector<std::string> messages;

private:
    template <typename Dialog>
    int RunScripted(Dialog& dialog, const User<Dialog>& user) {
        ++dialogRuns;
        CFakeDialogControls controls;
        dialog.OnInitDialog(controls);
        const int result = user ? user(controls, dialog) : IDCANCEL;
        if (result == IDOK) {
            dialog.OnOK(controls);
        }
        return result;
    }
};

}  // namespace dialogtest
