#pragma once

#include <string>

#include "base/UniqueFd.h"

// The single-instance lock: an exclusive flock on a file named after the lock, held for
// the life of this object (the process).
class CInstanceLock {
public:
    // Takes the lock "name" in `folder`. The lock may still be held by another process:
    // see AlreadyExisted().
    CInstanceLock(const std::string& folder, const std::string& name);

    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // The lock file could be opened (a symbolic link at its path is refused).
    bool IsValid() const { return m_fd.IsOpen(); }
    // Another process holds the lock.
    bool AlreadyExisted() const { return m_alreadyExisted; }
    // Tries once more to take a lock that another process held; true once this object
    // holds it (AlreadyExisted() is then false).
    bool TryAgain();
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    CUniqueFd m_fd;
    bool m_alreadyExisted = false;
};
