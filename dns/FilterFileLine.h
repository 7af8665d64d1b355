#pragma once

#include <string>
#include <string_view>

// Adding one name to a filter file from the program, as a user would with an editor.
namespace dns {

// Whether `name` can be one line of a filter file: not empty, and only printable bytes
// without white space (a name from the wire may hold anything, a line end included).
bool IsListableName(std::string_view name);

// `text` with `line` appended as a line of its own: every byte of `text` kept, a line end
// added first when its last line has none, the file's line end (CR LF when its first line
// ends so, else LF) after `line`. Unchanged when a line already holds the entry.
std::string WithLineAdded(std::string_view text, std::string_view line);

enum class AddLineResult { kAdded, kAlreadyListed, kFailed };

// Adds `line` to the file at `path` by WithLineAdded, replacing the file atomically; a
// missing file is created. kFailed, the file untouched, when it exists but cannot be read,
// or cannot be replaced.
AddLineResult AddFilterLine(const std::string& path, std::string_view line);

}  // namespace dns
