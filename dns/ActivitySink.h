#pragma once

#include "dns/QueryRecord.h"

// What the DNS engine tells the shell about its work: the state shown by the tray icon,
// and every query once it has ended.
// States: 0 stopped, 1 running and idle, 2 query arrived, 3 answering locally,
// 4 loading filter lists, 5 relaying. A value outside 0-5 is ignored by the receiver.
class IActivitySink {
public:
    static constexpr int kStopped = 0;
    static constexpr int kIdle = 1;
    static constexpr int kQueryArrived = 2;
    static constexpr int kAnsweringLocally = 3;
    static constexpr int kLoadingFilters = 4;
    static constexpr int kRelaying = 5;

    virtual ~IActivitySink() = default;
    virtual int Activity() const = 0;
    virtual void SetActivity(int state) = 0;
    // One query has ended as `record` says; called once per query, whatever its road.
    virtual void RecordQuery(const QueryRecord& record) = 0;
};
