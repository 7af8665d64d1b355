#pragma once

#include "shell/Desktop.h"

// The desktop of a program without a display: the tray icon's state is kept and nothing
// is shown, dialogs and the folder chooser cannot open, messages go to standard error,
// files still go to the user's editor, and the socket reactor runs the loop.
class CHeadlessDesktop : public IDesktop {
public:
    std::unique_ptr<INotificationArea> CreateNotificationArea(const std::string& program) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void RunAbout(const AboutInfo&) override {}
    int RunDialog(CIPInfoDialog&) override { return IDCANCEL; }
    int RunDialog(CProxyDNSDialog&) override { return IDCANCEL; }
    void ShowActivity(CActivityDialog&) override {}
    void CloseActivity() override {}
    int RunDialog(CBlockListsDialog&) override { return IDCANCEL; }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    void OpenInEditor(const std::string& path) override;
    void Run(CReactor& reactor) override;
    void Quit() override;

private:
    CReactor* m_reactor = nullptr;
    bool m_quitEarly = false;
};
