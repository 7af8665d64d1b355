#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>

#include "settings/FileChangeWatch.h"

class ProfileStore;

// A profile read on a hot path (every query, every connection) without reading the file
// each time. Reads and writes go through the same rules as the store's.
//
// By itself, each read first compares the file's inode, size and modification time with
// those of the kept copy and reads the file again when any of them differs; every write
// replaces the file by a rename, so a change made by any process is seen by the very next
// read, at the cost of one stat.
//
// Watching, no read looks at the file: the owner calls TakeChanges whenever ChangeFd() is
// readable, and the read after a change reads the file again. A change is then seen once
// the owner's loop has noticed it. When the watch ends (the folder went away), reads go
// back to comparing the file each time.
class CKeptProfile {
public:
    // `store` is not owned and must outlive this object.
    explicit CKeptProfile(const ProfileStore& store);

    int ReadInt(std::string_view section, std::string_view key, int defaultValue);

    // Starts watching; false, and reads go on as before, when the folder cannot be watched.
    bool WatchChanges();
    void StopWatching();
    int ChangeFd() const { return m_watch.Fd(); }
    void TakeChanges();

    // Writes through the store and keeps the new value at once.
    bool WriteInt(std::string_view section, std::string_view key, int value);

private:
    struct FileIdentity {
        bool exists = false;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};

        bool operator==(const FileIdentity& other) const;
    };

    static FileIdentity IdentityOf(const std::string& path);
    void Refresh();

    const ProfileStore& m_store;
    CFileChangeWatch m_watch;
    std::string m_text;
    FileIdentity m_identity;
    bool m_kept = false;  // m_text and m_identity describe the file
};
