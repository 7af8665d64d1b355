#pragma once

// How many connections the image server keeps at once, and how long one may go without
// progress before it is closed. The sweep looks at every connection once a period, so a
// stalled one ends between the idle limit and one period later.
struct ConnectionLimits {
    int maxConnections = 512;
    int idleLimitMs = 10000;
    int sweepPeriodMs = 1000;
};
