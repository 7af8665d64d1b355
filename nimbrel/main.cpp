#include "nimbrel/NimbrelApp.h"
#include "nimbrel/Usage.h"
#include "settings/ProfileStore.h"
#include "shell/DeferredDesktop.h"
#include "shell/DesktopFactory.h"
#include "shell/ExecutablePath.h"
#include "shell/InformationRequest.h"

int main(int argc, char** argv) {
    if (AnswerInformationRequest(FindInformationRequest(argc, argv),
                                 {nimbrel::kUsage, "nimbrel", NQ_VERSION})) {
        return 0;
    }
    const ProfileStore profile(ProfileStore::DefaultPath(ExecutablePath(argv[0])));
    const CCommandLine commandLine(argc, argv);
    CDeferredDesktop desktop([&] { return MakeDesktop(argc, argv, "nimbrel"); });
    nimbrel::CNimbrelApp app(desktop, profile, commandLine, FindRuntimePlace("Nimbrel"));
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}
