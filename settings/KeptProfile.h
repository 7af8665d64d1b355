#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>

class ProfileStore;

// A profile read on a hot path (every query, every connection) without reading the file
// each time. Each read first compares the file's inode, size and modification time with
// those of the kept copy and reads the file again when any of them differs; every write
// replaces the file by a rename, so a change made by any process is seen by the very next
// read, at the cost of one stat. Reads and writes go through the same rules as the store's.
class CKeptProfile {
public:
    // `store` is not owned and must outlive this object.
    explicit CKeptProfile(const ProfileStore& store);

    int ReadInt(std::string_view section, std::string_view key, int defaultValue);

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
    std::string m_text;
    FileIdentity m_identity;
    bool m_kept = false;  // m_text and m_identity describe the file
};
