#include "shell/DesktopFactory.h"

#include <cstdlib>

#include "shell/HeadlessDesktop.h"
#include "shell/qt/QtDesktop.h"

namespace {

bool HasGraphicalSession() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

}  // namespace

std::unique_ptr<IDesktop> MakeDesktop(int& argc, char** argv, const std::string& program) {
    if (HasGraphicalSession()) {
        return std::make_unique<CQtDesktop>(argc, argv, QString::fromStdString(program));
    }
    return std::make_unique<CHeadlessDesktop>();
}
