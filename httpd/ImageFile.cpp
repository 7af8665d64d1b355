#include "httpd/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "net/Sys.h"

bool CImageFile::Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool CImageFile::Open(const std::string& name) {
    Close();
    // Non-blocking so that a pipe in the image's place cannot stall the open; the flag has
    // no effect on the regular files that are kept.
    CUniqueFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    m_fd = std::move(fd);
    return true;
}

int CImageFile::Read(char* buffer, int length) {
    if (!m_fd.IsOpen()) {
        return -1;
    }
    return static_cast<int>(sys::Read(m_fd.Get(), buffer, static_cast<std::size_t>(length)));
}

void CImageFile::Close() {
    m_fd.Reset();
}
