#pragma once

// Tells the user, in one line on standard error, that a service socket could not be set
// up: "Nimbrel: cannot bind 127.0.0.1:53: Permission denied". `step` is what failed
// ("bind", "listen on"); `socketError` is the socket layer's error code.
void ReportServiceFailure(const char* program, const char* step, const char* address, unsigned port,
                          int socketError);
