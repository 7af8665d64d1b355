#include "shell/qt/QtDesktop.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSocketNotifier>

#include "dialogs/qt/QtActivityWindow.h"
#include "dialogs/qt/QtBlockListsDialog.h"
#include "dialogs/qt/QtIPInfoDialog.h"
#include "dialogs/qt/QtProxyDNSDialog.h"
#include "net/Reactor.h"
#include "shell/DetachedProcess.h"
#include "shell/qt/AboutDialog.h"
#include "shell/qt/QtNotificationArea.h"

CQtDesktop::CQtDesktop(int& argc, char** argv, const QString& program)
    : m_application(argc, argv), m_icons(program) {
    // The program has no window; closing a dialog must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
}

CQtDesktop::~CQtDesktop() = default;

std::unique_ptr<INotificationArea> CQtDesktop::CreateNotificationArea(const std::string& program) {
    return std::make_unique<CQtNotificationArea>(QString::fromStdString(program));
}

void CQtDesktop::ShowMessage(const std::string& caption, const std::string& text) {
    QMessageBox::warning(nullptr, QString::fromLocal8Bit(caption.c_str()),
                         QString::fromLocal8Bit(text.c_str()));
}

void CQtDesktop::RunAbout(const AboutInfo& about) {
    CAboutDialog dialog(about, m_icons);
    dialog.exec();
}

int CQtDesktop::RunDialog(CIPInfoDialog& dialog) {
    CQtIPInfoDialog window(dialog);
    return window.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

int CQtDesktop::RunDialog(CProxyDNSDialog& dialog) {
    CQtProxyDNSDialog window(dialog);
    return window.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CQtDesktop::ShowActivity(CActivityDialog& dialog) {
    if (!m_activityWindow) {
        m_activityWindow = std::make_unique<CQtActivityWindow>(dialog);
    }
    m_activityWindow->show();
    m_activityWindow->raise();
    m_activityWindow->activateWindow();
}

void CQtDesktop::CloseActivity() {
    m_activityWindow.reset();
}

int CQtDesktop::RunDialog(CBlockListsDialog& dialog) {
    CQtBlockListsDialog window(dialog);
    return window.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CQtDesktop::ChooseFolder(const std::string& title, const std::string& start,
                              std::string& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(
        nullptr, QString::fromLocal8Bit(title.c_str()), QString::fromLocal8Bit(start.c_str()));
    if (chosen.isEmpty()) {
        return false;
    }
    folder = chosen.toLocal8Bit().toStdString();
    return true;
}

void CQtDesktop::OpenInEditor(const std::string& path) {
    StartDetached({kEditorLauncher, path});
}

void CQtDesktop::Run(CReactor& reactor) {
    if (m_quitRequested) {
        return;
    }
    m_reactorNotifier = std::make_unique<QSocketNotifier>(reactor.Fd(), QSocketNotifier::Read);
    QObject::connect(m_reactorNotifier.get(), &QSocketNotifier::activated,
                     [&reactor] { reactor.DispatchReady(0); });
    // Work posted before the loop started (start-up commands) is already signalled on the
    // descriptor; the notifier picks it up at once.
    QApplication::exec();
    m_reactorNotifier.reset();
}

void CQtDesktop::Quit() {
    m_quitRequested = true;
    QApplication::quit();
}
