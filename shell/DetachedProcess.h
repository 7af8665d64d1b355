#pragma once

#include <string>
#include <vector>

// Starts `arguments[0]` (looked up in PATH) with the given arguments as a process of its
// own session that the caller never waits for: an intermediate child starts it and ends at
// once, so the program is adopted by init and leaves no zombie behind. The new program
// inherits no descriptor beyond standard input, output and error (a lock or a service
// socket must not outlive this program in an editor) and starts with no signal blocked.
// True when the new process was started; whether the program was found and how it ends
// is not reported.
bool StartDetached(const std::vector<std::string>& arguments);
