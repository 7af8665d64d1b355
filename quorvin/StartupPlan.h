#pragma once

#include <optional>

class CCommandLine;

namespace quorvin {

// The settings a first start finds, each read with the default its rule needs.
struct StoredSettings {
    int hideOnStartOrShown = 1;   // "HideOnStart", 1 when absent
    int hideOnStartOrHidden = 0;  // "HideOnStart", 0 when absent
    int imagesOrOn = 1;           // "Images", 1 when absent
};

// What the start-up switches ask of a first start (one that finds no running instance;
// a second start hands its switches over instead). Every start without /v hides the icon
// from then on; /v shows it.
struct StartupPlan {
    bool showAbout = false;          // /a, before anything else
    bool quit = false;               // /q: end at once, writing nothing
    std::optional<int> hideOnStart;  // "HideOnStart" to store, only when it changes
    bool turnImagesOff = false;      // /t, when "Images" is exactly 1

    bool operator==(const StartupPlan&) const = default;
};

StartupPlan PlanStartup(const CCommandLine& commandLine, const StoredSettings& stored);

}  // namespace quorvin
