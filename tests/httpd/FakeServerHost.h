#pragma once

#include "httpd/ImageServerHost.h"

// Stands in for the main window: records what the server tells it.
class FakeServerHost : public IImageServerHost {
public:
    void SetActivityFlag(bool active) override {
        activity = active;
        ++(active ? raised : lowered);
    }
    void UpdateActivityIcon() override { ++updates; }
    void SetDefaultMenuItem(int position) override { defaultMenuItem = position; }

    // Updates made without a change of the flag.
    int BareUpdates() const { return updates - raised - lowered; }

    bool activity = false;
    int raised = 0;
    int lowered = 0;
    int updates = 0;
    int defaultMenuItem = -1;
};
