#include "nimbrel/StartupPlan.h"

#include "nimbrel/Commands.h"
#include "shell/CommandLine.h"

namespace nimbrel {

StartupPlan PlanStartup(const CCommandLine& commandLine) {
    StartupPlan plan;
    plan.showAbout = commandLine.Has("/a");
    plan.quit = commandLine.Has("/q");
    if (commandLine.Has("/h")) {
        plan.hideOnStart = 1;
    } else if (commandLine.Has("/v")) {
        plan.hideOnStart = 0;
    }
    if (commandLine.Has("/n")) {
        plan.commands.push_back(ID_MODIFY_NAMED);
    }
    if (commandLine.Has("/p")) {
        plan.commands.push_back(ID_MODIFY_PASS);
    }
    if (commandLine.Has("/u")) {
        plan.commands.push_back(ID_UPDATE_LISTS);
    }
    return plan;
}

}  // namespace nimbrel
