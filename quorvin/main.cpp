#include "quorvin/QuorvinApp.h"
#include "settings/ProfileStore.h"
#include "shell/DesktopFactory.h"
#include "shell/ExecutablePath.h"

int main(int argc, char** argv) {
    const ProfileStore profile(ProfileStore::DefaultPath(ExecutablePath(argv[0])));
    const CCommandLine commandLine(argc, argv);
    const std::unique_ptr<IDesktop> desktop = MakeDesktop(argc, argv, "quorvin");
    quorvin::CQuorvinApp app(*desktop, profile, commandLine, FindRuntimePlace("Quorvin"));
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}
