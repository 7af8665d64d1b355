#pragma once

// When a connection counts as stalled. Progress is a request byte received, a reply byte the
// kernel accepted, or, while the reply waits in the kernel, a send queue that shrank since
// the last look: a client that reads slowly is making progress even while the queue is too
// full to take more. Time is counted in the sweep's looks, not read from a clock, so a
// process that was held up (a loaded machine) does not close a connection for its own delay.
namespace httpd {

struct IdleWatch {
    int quietLooks = 0;    // looks in a row that found no progress
    int queuedBytes = -1;  // the send queue at the last look; -1: none seen
};

// The watch after one more look. `progressed`: bytes moved through the connection's own
// calls since the last look; `queuedNow`: its unacknowledged bytes now, -1 while it has no
// reply to send.
IdleWatch LookAt(IdleWatch watch, bool progressed, int queuedNow);

// Whether the connection went without progress for longer than `quietLooksAllowed` looks:
// with a look every period, for between that many periods and one more.
bool HasStalled(const IdleWatch& watch, int quietLooksAllowed);

}  // namespace httpd
