#include "shell/qt/IconLibrary.h"

#include <QFile>

namespace {

// The sizes panels ask for; an X11 tray slot is 22 px.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48};

}  // namespace

CIconLibrary::CIconLibrary(QString program) : m_program(std::move(program)) {}

const QIcon& CIconLibrary::Icon(int resourceId) {
    const auto found = m_icons.find(resourceId);
    if (found != m_icons.end()) {
        return found->second;
    }
    QIcon icon;
    for (const int size : kIconSizes) {
        const QString path =
            QStringLiteral(":/%1/icons/%2/%3.png").arg(m_program).arg(resourceId).arg(size);
        if (QFile::exists(path)) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return m_icons.emplace(resourceId, icon).first->second;
}
