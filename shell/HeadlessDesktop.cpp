#include "shell/HeadlessDesktop.h"

#include <cstdio>

#include "net/Reactor.h"
#include "shell/DetachedProcess.h"
#include "shell/HeadlessNotificationArea.h"

std::unique_ptr<INotificationArea> CHeadlessDesktop::CreateNotificationArea(const std::string&) {
    return std::make_unique<CHeadlessNotificationArea>();
}

void CHeadlessDesktop::ShowMessage(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void CHeadlessDesktop::OpenInEditor(const std::string& path) {
    StartDetached({kEditorLauncher, path});
}

void CHeadlessDesktop::Run(CReactor& reactor) {
    m_reactor = &reactor;
    if (!m_quitEarly) {
        reactor.Run();
    }
    m_reactor = nullptr;
}

void CHeadlessDesktop::Quit() {
    if (m_reactor != nullptr) {
        m_reactor->Quit();
    } else {
        m_quitEarly = true;
    }
}
