#pragma once

#include <string>

// Reading a whole file at once, telling a file that is not there from one that cannot be
// read: a profile that exists but cannot be read must not be rewritten from nothing.
enum class ReadResult { kRead, kMissing, kFailed };

// Reads the file into `text`; `text` is empty unless the result is kRead. Anything but a
// regular file (a pipe, a device, a folder) cannot be read as text: kFailed.
ReadResult ReadTextFile(const std::string& path, std::string& text);
