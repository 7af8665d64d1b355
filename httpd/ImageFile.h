#pragma once

#include <string>

#include "base/UniqueFd.h"

// An image file open for reading. The descriptor is closed by Close or with the object.
class CImageFile {
public:
    CImageFile() = default;
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

    // Whether the path names anything at all; a missing file, or a path through a missing
    // folder, does not exist.
    static bool Exists(const std::string& path);

    // Opens an existing regular file for reading, shared with other readers. Anything else
    // that merely exists (a folder, a pipe, a device, a file we may not read) fails at once:
    // opening never waits, and a reply never streams from an endless source.
    bool Open(const std::string& name);

    // Reads up to `length` bytes: the count read, 0 at the end of the file, -1 on an error.
    int Read(char* buffer, int length);

    void Close();
    bool IsOpen() const { return m_fd.IsOpen(); }

private:
    CUniqueFd m_fd;
};
