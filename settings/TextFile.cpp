#include "settings/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/UniqueFd.h"

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

}  // namespace

ReadResult ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    // Without blocking: a named pipe must not hold the program up at the open.
    const CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen()) {
        return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
    }
    const int fd = file.Get();
    // Only a regular file is text to read: a pipe may never end, a device may never stop.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return ReadResult::kFailed;
    }
    // One call reads the whole file: a read that stops short of what was asked for, once the
    // size the file had is in, has reached the end. A file that grew meanwhile is read on
    // until a read returns nothing.
    const auto fileSize = static_cast<std::size_t>(info.st_size);
    ReadResult result = ReadResult::kRead;
    std::size_t size = 0;
    for (;;) {
        const std::size_t wanted = size <= fileSize ? fileSize + 1 - size : kChunkBytes;
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
        if (n == 0 || (size >= fileSize && static_cast<std::size_t>(n) < wanted)) {
            break;
        }
    }
    text.resize(size);
    if (result != ReadResult::kRead) {
        text.clear();
    }
    return result;
}
