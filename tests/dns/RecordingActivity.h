#pragma once

#include <vector>

#include "dns/ActivitySink.h"

namespace dnstest {

// Remembers every activity state it is told, in order.
class CRecordingActivity : public IActivitySink {
public:
    int Activity() const override { return m_state; }
    void SetActivity(int state) override {
        m_state = state;
        shown.push_back(state);
    }

    std::vector<int> shown;

private:
    int m_state = kIdle;
};

}  // namespace dnstest
