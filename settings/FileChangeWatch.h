#pragma once

#include <string>

#include "base/UniqueFd.h"

// Tells when one file may have changed, through an inotify watch on its folder, so that a
// reader that keeps the file's content need not look at the file on every read. Any event
// on the file's name counts (written, created, replaced by a rename, moved away, removed,
// its mode changed), and so does an overflow of the event queue. The watch ends when the
// folder itself is removed or moved; the owner then has to look at the file again itself.
// The descriptor stays open until Stop or destruction, so that whoever watches it for
// readability can let go of it first.
class CFileChangeWatch {
public:
    // Watches the folder of `path`; false when it cannot (no such folder, no inotify).
    bool Start(const std::string& path);
    void Stop();

    // Readable while events wait; -1 before Start.
    int Fd() const { return m_fd.Get(); }
    bool IsWatching() const { return m_watching; }

    // Reads every waiting event; true when any may concern the file or the watch has ended.
    bool TakeEvents();

private:
    CUniqueFd m_fd;
    std::string m_name;
    bool m_watching = false;
};
