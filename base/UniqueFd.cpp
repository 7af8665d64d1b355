#include "base/UniqueFd.h"

#include <unistd.h>

void CUniqueFd::Reset(int fd) {
    if (m_fd >= 0) {
        // A close interrupted by a signal has still released the descriptor on Linux.
        ::close(m_fd);
    }
    m_fd = fd;
}
