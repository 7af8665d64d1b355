#pragma once

#include <string>

// The path of the running executable (the file itself, as the kernel knows it), or
// `argv0` when that cannot be read.
std::string ExecutablePath(const char* argv0);
