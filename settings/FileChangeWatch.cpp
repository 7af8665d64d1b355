#include "settings/FileChangeWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

}  // namespace

bool CFileChangeWatch::Start(const std::string& path) {
    Stop();
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    CUniqueFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!fd.IsOpen() ||
        ::inotify_add_watch(fd.Get(), folder.c_str(), kFileEvents | kFolderGone | IN_ONLYDIR) < 0) {
        return false;
    }
    m_fd = std::move(fd);
    m_name = slash == std::string::npos ? path : path.substr(slash + 1);
    m_watching = true;
    return true;
}

void CFileChangeWatch::Stop() {
    m_fd.Reset();
    m_name.clear();
    m_watching = false;
}

bool CFileChangeWatch::TakeEvents() {
    if (!m_watching) {
        return true;
    }
    alignas(inotify_event) char buffer[4096];
    bool concerned = false;
    bool gone = false;
    for (;;) {
        const ssize_t length = ::read(m_fd.Get(), buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            // EAGAIN: nothing more waits. Anything else leaves the events unknown.
            gone = gone || length == 0 || errno != EAGAIN;
            break;
        }
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            gone = gone || (event.mask & kFolderGone) != 0;
            concerned = concerned || (event.mask & IN_Q_OVERFLOW) != 0 ||
                        (event.len != 0 && m_name == name);
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
    m_watching = !gone;
    return concerned || gone;
}
