#pragma once

#include <functional>
#include <memory>

#include "shell/Desktop.h"

// A desktop made only when it is first used. Connecting to the display server and loading
// the toolkit takes a while; a second start that only hands its switches on never needs
// it, and a first start takes its lock and its command channel before it, so that a second
// start finds the instance at once. Owned by main, like the desktop it makes.
class CDeferredDesktop : public IDesktop {
public:
    using Factory = std::function<std::unique_ptr<IDesktop>()>;

    explicit CDeferredDesktop(Factory make) : m_make(std::move(make)) {}

    std::unique_ptr<INotificationArea> CreateNotificationArea(const std::string& program) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void RunAbout(const AboutInfo& about) override;
    int RunDialog(CIPInfoDialog& dialog) override;
    int RunDialog(CProxyDNSDialog& dialog) override;
    int RunDialog(CBlockListsDialog& dialog) override;
    bool ChooseFolder(const std::string& title, const std::string& start,
                      std::string& folder) override;
    void OpenInEditor(const std::string& path) override;
    void ShowActivity(CActivityDialog& dialog) override;
    // Closes nothing while no desktop was made: no window can be open.
    void CloseActivity() override;
    void Run(CReactor& reactor) override;
    void Quit() override;

private:
    IDesktop& Desktop();

    Factory m_make;
    std::unique_ptr<IDesktop> m_desktop;
};
