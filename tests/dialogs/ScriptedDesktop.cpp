#include "tests/dialogs/ScriptedDesktop.h"

#include "dialogs/IPInfoDialog.h"
#include "dialogs/ProxyDNSDialog.h"
#include "shell/HeadlessNotificationArea.h"

namespace dialogtest {
namespace {

template <typename Dialog>
int RunScripted(Dialog& dialog, const CScriptedDesktop::User<Dialog>& user) {
    CFakeDialogControls controls;
    dialog.OnInitDialog(controls);
    const int result = user ? user(controls, dialog) : IDCANCEL;
    if (result == IDOK) {
        dialog.OnOK(controls);
    }
    return result;
}

}  // namespace

std::unique_ptr<INotificationArea> CScriptedDesktop::CreateNotificationArea(const std::string&) {
    return std::make_unique<CHeadlessNotificationArea>();
}

int CScriptedDesktop::RunDialog(CIPInfoDialog& dialog) {
    ++dialogRuns;
    return RunScripted(dialog, ipInfoUser);
}

int CScriptedDesktop::RunDialog(CProxyDNSDialog& dialog) {
    ++dialogRuns;
    return RunScripted(dialog, proxyDNSUser);
}

bool CScriptedDesktop::ChooseFolder(const std::string& title, const std::string& start,
                                    std::string& folder) {
    folderRequests.push_back({title, start});
    if (!folderToChoose) {
        return false;
    }
    folder = *folderToChoose;
    return true;
}

}  // namespace dialogtest
