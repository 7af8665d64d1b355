#include "shell/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

CInstanceLock::CInstanceLock(const std::string& folder, const std::string& name)
    : m_path(folder + "/" + name) {
    // Never through a link: the lock must not create or hold a file somewhere else.
    m_fd.Reset(::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (m_fd.IsOpen() && !TryAgain() && !m_alreadyExisted) {
        m_fd.Reset();
    }
}

bool CInstanceLock::TryAgain() {
    int result;
    do {
        result = ::flock(m_fd.Get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    m_alreadyExisted = result != 0 && errno == EWOULDBLOCK;
    return result == 0;
}
