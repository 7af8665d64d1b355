#include "shell/DesktopFactory.h"

#include <cstdio>
#include <cstdlib>

#include "shell/GraphicalSession.h"
#include "shell/HeadlessDesktop.h"
#include "shell/qt/QtDesktop.h"
#include "shell/qt/XDisplayProbe.h"

std::unique_ptr<IDesktop> MakeDesktop(int& argc, char** argv, const std::string& program) {
    const GraphicalSession session =
        FindGraphicalSession([](const std::string& display) { return CanOpenXDisplay(display); });
    if (session.reachable == DisplayServer::kNone) {
        if (!session.unreachable.empty()) {
            std::fprintf(stderr,
                         "%s: no display server answers at %s; running without a tray icon\n",
                         program.c_str(), session.unreachable.c_str());
        }
        return std::make_unique<CHeadlessDesktop>();
    }
    // Qt is told which server answered, unless the user chose a platform: its own choice
    // may fall on one that is gone or refuses this client, and that ends the program.
    ::setenv("QT_QPA_PLATFORM", session.reachable == DisplayServer::kX11 ? "xcb" : "wayland", 0);
    return std::make_unique<CQtDesktop>(argc, argv, QString::fromStdString(program));
}
