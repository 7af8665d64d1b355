#pragma once

#include <optional>
#include <vector>

class CCommandLine;

namespace nimbrel {

// What the start-up switches ask of a first start (one that finds no running instance;
// a second start hands its switches over instead).
struct StartupPlan {
    bool showAbout = false;  // /a, before anything else
    bool quit = false;       // /q: end at once, writing nothing
    // "HideOnStart" to store: 0 for /v, 1 for /h (which wins when both are given).
    std::optional<int> hideOnStart;
    // Posted once the service runs: the list editors of /n and /p, the update of /u.
    std::vector<int> commands;

    bool operator==(const StartupPlan&) const = default;
};

StartupPlan PlanStartup(const CCommandLine& commandLine);

}  // namespace nimbrel
