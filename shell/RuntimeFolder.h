#pragma once

#include <string>

// Where a program keeps its instance lock and its command socket: $XDG_RUNTIME_DIR when
// it names a folder, else /tmp, where names carry the user id ("-<uid>") so that users
// never meet each other's instances.
struct RuntimePlace {
    std::string folder;
    std::string suffix;  // "" in $XDG_RUNTIME_DIR, "-<uid>" in /tmp

    std::string NameFor(const std::string& name) const { return name + suffix; }
};

RuntimePlace FindRuntimePlace();
