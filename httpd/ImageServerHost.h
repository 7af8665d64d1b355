#pragma once

#include "httpd/RequestCounters.h"

// What the image server needs of the window that owns it: the activity flag that the
// connections raise and lower around each transfer step, the tray image that follows it,
// the tray menu's default item, and how each request ended. Implemented by the main window; it
// outlives every connection, since connections still open at exit end with the process.
class IImageServerHost {
public:
    // Positions in the tray menu (separators count) of the items the server makes default.
    static constexpr int kStartMenuItem = 2;
    static constexpr int kStopMenuItem = 3;

    virtual ~IImageServerHost() = default;

    // Set while a connection step is in progress; the caller then calls UpdateActivityIcon.
    virtual void SetActivityFlag(bool active) = 0;
    virtual void UpdateActivityIcon() = 0;
    virtual void SetDefaultMenuItem(int position) = 0;
    // Once per request, when its reply is chosen or the connection is refused.
    virtual void CountRequest(httpd::RequestOutcome outcome) = 0;
};
