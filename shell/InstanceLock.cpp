#include "shell/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

CInstanceLock::CInstanceLock(const std::string& folder, const std::string& name)
    : m_path(folder + "/" + name) {
    // Never through a link: the lock must not create or hold a file somewhere else.
    CUniqueFd fd(::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.IsOpen()) {
        return;
    }
    int result;
    do {
        result = ::flock(fd.Get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_fd = std::move(fd);
    } else {
        m_alreadyExisted = errno == EWOULDBLOCK;
    }
}
