#pragma once

#include <QApplication>
#include <QString>
#include <memory>

#include "shell/Desktop.h"
#include "shell/qt/IconLibrary.h"

class CQtActivityWindow;
class QSocketNotifier;

// The desktop of a graphical session, through Qt Widgets. Qt runs the loop; one socket
// notifier on the reactor's descriptor delivers socket notifications and posted commands,
// also while a modal dialog or a menu runs its own loop.
class CQtDesktop : public IDesktop {
public:
    // `program` names the program's icon resources ("nimbrel", "quorvin").
    CQtDesktop(int& argc, char** argv, const QString& program);
    ~CQtDesktop() override;

    std::unique_ptr<INotificationArea> CreateNotificationArea(const std::string& program) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void RunAbout(const AboutInfo& about) override;
    int RunDialog(CIPInfoDialog& dialog) override;
    int RunDialog(CProxyDNSDialog& dialog) override;
    void ShowActivity(CActivityDialog& dialog) override;
    void CloseActivity() override;
    int RunDialog(CBlockListsDialog& dialog) override;
    bool ChooseFolder(const std::string& title, const std::string& start,
                      std::string& folder) override;
    void OpenInEditor(const std::string& path) override;
    void Run(CReactor& reactor) override;
    void Quit() override;

private:
    QApplication m_application;
    CIconLibrary m_icons;
    std::unique_ptr<QSocketNotifier> m_reactorNotifier;
    std::unique_ptr<CQtActivityWindow> m_activityWindow;
    bool m_quitRequested = false;
};
