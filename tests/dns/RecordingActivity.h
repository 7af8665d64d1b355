#pragma once

#include <cstdint>
#include <vector>

#include "dns/ActivitySink.h"

// Remembers every activity state it is told, and every ended query's outcome, in order.
struct CRecordingActivity : IActivitySink {
    explicit CRecordingActivity(int first = kIdle) : state(first) {}
    int Activity() const override { return state; }
    void SetActivity(int next) override {
        state = next;
        shown.push_back(next);
    }
    void RecordQuery(const QueryRecord& record) override {
        outcomes.push_back(record.outcome);
        lastServer = record.server;
        lastDurationUs = record.durationUs;
    }

    int state;
    std::vector<int> shown;
    std::vector<ActivityOutcome> outcomes;
    std::uint32_t lastServer = 0;
    std::uint32_t lastDurationUs = 0;
};
