#include "httpd/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CImageFile::~CImageFile() {
    Close();
}

bool CImageFile::Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool CImageFile::Open(const std::string& name) {
    Close();
    // Non-blocking so that a pipe in the image's place cannot stall the open; the flag has
    // no effect on the regular files that are kept.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

int CImageFile::Read(char* buffer, int length) {
    if (m_fd < 0) {
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, static_cast<size_t>(length));
        if (n >= 0 || errno != EINTR) {
            return static_cast<int>(n);
        }
    }
}

void CImageFile::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
