#include "quorvin/QuorvinApp.h"
#include "quorvin/Usage.h"
#include "settings/ProfileStore.h"
#include "shell/DeferredDesktop.h"
#include "shell/DesktopFactory.h"
#include "shell/ExecutablePath.h"
#include "shell/InformationRequest.h"

int main(int argc, char** argv) {
    if (AnswerInformationRequest(FindInformationRequest(argc, argv),
                                 {quorvin::kUsage, "quorvin", NQ_VERSION})) {
        return 0;
    }
    const ProfileStore profile(ProfileStore::DefaultPath(ExecutablePath(argv[0])));
    const CCommandLine commandLine(argc, argv);
    CDeferredDesktop desktop([&] { return MakeDesktop(argc, argv, "quorvin"); });
    quorvin::CQuorvinApp app(desktop, profile, commandLine, FindRuntimePlace("Quorvin"));
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}
