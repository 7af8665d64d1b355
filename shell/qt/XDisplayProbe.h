#pragma once

#include <chrono>
#include <string>

// Whether a client can open the X display `display` (DISPLAY's value): the server must
// take the connection and accept the client's set-up, with the cookie from XAUTHORITY as
// any X client sends it. A server that refuses (another user's display, an expired cookie)
// or does not answer within `timeout` counts as no display. The attempt runs in a child
// process, so that a server that never answers cannot hold this one up and a refusal's
// text does not reach standard error.
bool CanOpenXDisplay(const std::string& display,
                     std::chrono::milliseconds timeout = std::chrono::seconds(2));
