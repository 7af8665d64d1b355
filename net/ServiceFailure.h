#pragma once

#include <string>

// Tells the user, in one line on standard error, that a service socket could not be set
// up, and how to mend the two usual causes: "Nimbrel: cannot bind 127.0.0.1:53: Address
// already in use; the program that holds the port: sudo ss -lunp 'sport = :53'". `step` is
// what failed ("bind", "listen on"); `socketType` is SOCK_DGRAM or SOCK_STREAM;
// `socketError` is the socket layer's error code.
void ReportServiceFailure(const char* program, const char* step, const char* address, unsigned port,
                          int socketType, int socketError);

// The line ReportServiceFailure writes, without its line end.
std::string ServiceFailureLine(const char* program, const char* step, const char* address,
                               unsigned port, int socketType, int socketError);
