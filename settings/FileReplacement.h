#pragma once

#include <string>

// Replaces the file at `path` with `text` so that a reader sees either the old or the new
// file, never a torn one: the text goes to a temporary file in the same folder (hidden, its
// name starting with "."), synced, which is then renamed over the old one, and the folder is
// synced. The old file's permissions carry over; a new file gets the umask's. Missing
// folders are created, private to the user. False, leaving the old file, when anything fails.
bool ReplaceFile(const std::string& path, const std::string& text);
