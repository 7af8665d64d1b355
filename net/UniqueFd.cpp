#include "net/UniqueFd.h"

#include "net/Sys.h"

void CUniqueFd::Reset(int fd) {
    if (m_fd >= 0) {
        sys::Close(m_fd);
    }
    m_fd = fd;
}
