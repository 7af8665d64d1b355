#include "settings/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

}  // namespace

ReadResult ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
    }
    // A regular file is read with one call: a read that stops short of what was asked for,
    // once the size the file had is in, has reached the end. Anything else, or a file that
    // grew meanwhile, is read on until a read returns nothing.
    struct stat info {};
    std::size_t fileSize = 0;
    bool regular = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        regular = true;
        fileSize = static_cast<std::size_t>(info.st_size);
    }
    ReadResult result = ReadResult::kRead;
    std::size_t size = 0;
    for (;;) {
        const std::size_t wanted = std::max(fileSize + 1 - std::min(size, fileSize), kChunkBytes);
        text.resize(size + wanted);
        const ssize_t n = ::read(fd, text.data() + size, wanted);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result = ReadResult::kFailed;
            break;
        }
        size += static_cast<std::size_t>(n);
        if (n == 0 || (regular && size >= fileSize && static_cast<std::size_t>(n) < wanted)) {
            break;
        }
    }
    text.resize(size);
    ::close(fd);
    if (result != ReadResult::kRead) {
        text.clear();
    }
    return result;
}
