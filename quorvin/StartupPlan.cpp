#include "quorvin/StartupPlan.h"

#include "shell/CommandLine.h"

namespace quorvin {

StartupPlan PlanStartup(const CCommandLine& commandLine, const StoredSettings& stored) {
    StartupPlan plan;
    plan.showAbout = commandLine.Has("/a");
    plan.quit = commandLine.Has("/q");
    if (commandLine.Has("/v")) {
        if (stored.hideOnStartOrShown == 1) {
            plan.hideOnStart = 0;
        }
    } else if (stored.hideOnStartOrHidden == 0) {
        plan.hideOnStart = 1;
    }
    plan.turnImagesOff = commandLine.Has("/t") && stored.imagesOrOn == 1;
    return plan;
}

}  // namespace quorvin
