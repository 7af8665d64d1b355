#include "settings/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/UniqueFd.h"

namespace {

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the folder and its missing parents, private to the user as configuration
// folders are.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    const std::string parent = ParentFolder(folder);
    if (parent != folder && !MakeFolders(parent)) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// `path` with a "." before its file name, so that a folder reader that skips hidden files
// never takes a half-written or left-over temporary file for one of its own.
std::string HiddenSibling(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes `text` with `mode` to a file of `folder` that has no name until it is complete
// (O_TMPFILE), so that a writer killed half-way leaves nothing behind, then gives it a
// temporary name next to `path`, stored in `temp`. False, leaving nothing, where the file
// system has no unnamed files or anything fails.
bool WriteUnnamed(const std::string& folder, const std::string& path, mode_t mode,
                  const std::string& text, std::string& temp) {
    CUniqueFd file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!file.IsOpen()) {
        return false;
    }
    const int fd = file.Get();
    bool named = false;
    if (::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (unsigned attempt = 0; attempt < 100 && !named; ++attempt) {
            temp = HiddenSibling(path) + ".tmp" + std::to_string(::getpid()) + "-" +
                   std::to_string(attempt);
            named =
                ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!named && errno != EEXIST) {
                break;
            }
        }
    }
    // The close reports what the writes could not; only then is the file known whole.
    if (::close(file.Release()) != 0 && named) {
        ::unlink(temp.c_str());
        return false;
    }
    return named;
}

// The same through a named temporary file (mkstemp) from the start.
bool WriteNamed(const std::string& path, mode_t mode, const std::string& text, std::string& temp) {
    temp = HiddenSibling(path) + ".XXXXXX";
    CUniqueFd file(::mkstemp(temp.data()));
    if (!file.IsOpen()) {
        return false;
    }
    const int fd = file.Get();
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    if (::close(file.Release()) != 0 || !written) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string folder = ParentFolder(path);
    if (!MakeFolders(folder)) {
        return false;
    }
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();

    std::string temp;
    if (!WriteUnnamed(folder, path, mode, text, temp) && !WriteNamed(path, mode, text, temp)) {
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename is on disk once the folder is. The new file is in place either way, so a
    // folder that cannot be synced does not make the write a failure.
    if (const CUniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        folderFd.IsOpen()) {
        ::fsync(folderFd.Get());
    }
    return true;
}
