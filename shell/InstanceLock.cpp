#include "shell/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

CInstanceLock::CInstanceLock(const std::string& folder, const std::string& name)
    : m_path(folder + "/" + name) {
    // Never through a link: the lock must not create or hold a file somewhere else.
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        return;
    }
    int result;
    do {
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        m_alreadyExisted = errno == EWOULDBLOCK;
        ::close(m_fd);
        m_fd = -1;
    }
}

CInstanceLock::~CInstanceLock() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}
