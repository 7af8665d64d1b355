#include "shell/DeferredDesktop.h"

IDesktop& CDeferredDesktop::Desktop() {
    if (!m_desktop) {
        m_desktop = m_make();
    }
    return *m_desktop;
}

std::unique_ptr<INotificationArea> CDeferredDesktop::CreateNotificationArea(
    const std::string& program) {
    return Desktop().CreateNotificationArea(program);
}

void CDeferredDesktop::ShowMessage(const std::string& caption, const std::string& text) {
    Desktop().ShowMessage(caption, text);
}

void CDeferredDesktop::RunAbout(const AboutInfo& about) {
    Desktop().RunAbout(about);
}

int CDeferredDesktop::RunDialog(CIPInfoDialog& dialog) {
    return Desktop().RunDialog(dialog);
}

int CDeferredDesktop::RunDialog(CProxyDNSDialog& dialog) {
    return Desktop().RunDialog(dialog);
}

int CDeferredDesktop::RunDialog(CBlockListsDialog& dialog) {
    return Desktop().RunDialog(dialog);
}

bool CDeferredDesktop::ChooseFolder(const std::string& title, const std::string& start,
                                    std::string& folder) {
    return Desktop().ChooseFolder(title, start, folder);
}

void CDeferredDesktop::OpenInEditor(const std::string& path) {
    Desktop().OpenInEditor(path);
}

void CDeferredDesktop::ShowActivity(CActivityDialog& dialog) {
    Desktop().ShowActivity(dialog);
}

void CDeferredDesktop::CloseActivity() {
    if (m_desktop != nullptr) {
        m_desktop->CloseActivity();
    }
}

void CDeferredDesktop::Run(CReactor& reactor) {
    Desktop().Run(reactor);
}

void CDeferredDesktop::Quit() {
    Desktop().Quit();
}
