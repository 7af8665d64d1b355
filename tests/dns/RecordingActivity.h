#pragma once

#include <vector>

#include "dns/ActivitySink.h"

// Remembers every activity state it is told, in order.
struct CRecordingActivity : IActivitySink {
    explicit CRecordingActivity(int first = kIdle) : state(first) {}
    int Activity() const override { return state; }
    void SetActivity(int next) override {
        state = next;
        shown.push_back(next);
    }

    int state;
    std::vector<int> shown;
};
