#pragma once

#include <sys/types.h>

#include <string>

// Where a program keeps its instance lock and its command socket: a folder that only this
// user can enter, so that no other user can plant a lock, a socket or a link in it. That is
// $XDG_RUNTIME_DIR when it is such a folder, else /tmp/nimbrel-<uid>, which both programs
// share. Names in it carry no user id: the folder is the user's own.
struct RuntimePlace {
    std::string folder;   // empty when no private folder can be had
    std::string problem;  // why not, when `folder` is empty
};

// `runtimeDir` is $XDG_RUNTIME_DIR (may be null). It counts only when it is a real folder
// (no symbolic link) owned by `uid` with no access for group or others. Otherwise
// `tempFolder`/nimbrel-<uid> is created 0700 if missing and used only when lstat shows
// the same of it.
RuntimePlace FindRuntimePlace(const char* runtimeDir, const std::string& tempFolder, uid_t uid);

// The place for this process (its effective uid, /tmp). When there is none, says so in one
// line on standard error, naming `program`: the program then runs without its lock and
// its command channel.
RuntimePlace FindRuntimePlace(const char* program);
