#include "shell/CommandChannel.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/Reactor.h"

namespace {

constexpr int kListenBacklog = 8;
// How long a second start waits for the running instance to take its connection and its
// commands; an instance that is stopped or swamped must not hold the start up for ever.
constexpr int kPostTimeoutSeconds = 1;

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

bool EqualsNoCase(const char* a, const std::string& b) {
    return ::strcasecmp(a, b.c_str()) == 0;
}

// Socket files in `folder` whose name is `name` in any letter case, the exact one first.
std::vector<std::string> CandidatePaths(const std::string& folder, const std::string& name) {
    std::vector<std::string> paths{folder + "/" + name};
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* item = ::readdir(dir)) {
            if (EqualsNoCase(item->d_name, name) && name != item->d_name) {
                paths.push_back(folder + "/" + item->d_name);
            }
        }
        ::closedir(dir);
    }
    return paths;
}

// Whether the process at the other end of `fd` runs as this user: another user's socket or
// connection is never used, whatever its name.
bool PeerIsThisUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           peer.uid == ::geteuid();
}

// A connection to the socket at `path`, or -1 with errno set: ECONNREFUSED when nobody
// listens there, EAGAIN when the listener took no connection within the time-out. Sends
// on it give up after the same time-out.
int ConnectTo(const std::string& path) {
    sockaddr_un address{};
    if (!FillAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const timeval timeout{kPostTimeoutSeconds, 0};
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool BindPrivately(int fd, const sockaddr_un& address) {
    const mode_t oldMask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int error = errno;
    ::umask(oldMask);
    errno = error;
    return bound;
}

// Binds `fd` at `path`. A file already there is replaced only when nobody listens at it
// (left by an instance that is gone); a live instance's socket stays: EADDRINUSE.
bool BindAt(int fd, const std::string& path, const sockaddr_un& address) {
    if (BindPrivately(fd, address)) {
        return true;
    }
    if (errno != EADDRINUSE) {
        return false;
    }
    const int probe = ConnectTo(path);
    const int error = errno;
    if (probe >= 0) {
        ::close(probe);
    }
    if (probe >= 0 || (error != ECONNREFUSED && error != ENOENT)) {
        errno = EADDRINUSE;
        return false;
    }
    if (error == ECONNREFUSED) {
        ::unlink(path.c_str());
    }
    return BindPrivately(fd, address);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
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

}  // namespace

CCommandChannel::CCommandChannel(CReactor& reactor, Receiver receiver)
    : m_reactor(reactor), m_receiver(std::move(receiver)) {}

CCommandChannel::~CCommandChannel() {
    while (!m_connections.empty()) {
        CloseConnection(m_connections.begin()->first);
    }
    if (m_listenFd >= 0) {
        // Removed while still listening: an instance starting meanwhile finds this one alive
        // and leaves the path alone.
        RemoveBoundFile();
        m_reactor.Unwatch(m_listenFd);
        ::close(m_listenFd);
    }
}

bool CCommandChannel::Listen(const std::string& folder, const std::string& name) {
    m_path = folder + "/" + name;
    sockaddr_un address{};
    if (!FillAddress(m_path, address)) {
        errno = ENAMETOOLONG;
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    if (!BindAt(fd, m_path, address)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    struct stat bound {};
    const bool ready = ::lstat(m_path.c_str(), &bound) == 0 && ::listen(fd, kListenBacklog) == 0 &&
                       m_reactor.WatchReadable(fd, [this] { OnListenerReadable(); });
    const int error = errno;
    m_boundFile = {bound.st_dev, bound.st_ino};
    if (!ready) {
        RemoveBoundFile();
        ::close(fd);
        errno = error;
        return false;
    }
    m_listenFd = fd;
    return true;
}

void CCommandChannel::RemoveBoundFile() const {
    struct stat now {};
    if (::lstat(m_path.c_str(), &now) == 0 && now.st_dev == m_boundFile.first &&
        now.st_ino == m_boundFile.second) {
        ::unlink(m_path.c_str());
    }
}

void CCommandChannel::OnListenerReadable() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // The connection stays queued without a descriptor for it; the listener stays
            // readable, so it is held back until one frees instead of spinning the loop.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                m_reactor.HoldWatchUntilDescriptorFree(m_listenFd);
            }
            return;
        }
        if (!PeerIsThisUser(fd) ||
            !m_reactor.WatchReadable(fd, [this, fd] { OnConnectionReadable(fd); })) {
            ::close(fd);
            continue;
        }
        m_connections[fd] = Connection{fd, {}};
    }
}
void CCommandChannel::OnConnectionReadable(int fd) {
    char chunk[256];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            m_connections[fd].reader.Read(std::string_view(chunk, static_cast<std::size_t>(n)),
                                          m_receiver);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        CloseConnection(fd);  // the sender is done, or gone
        return;
    }
}

void CCommandChannel::CloseConnection(int fd) {
    m_reactor.Unwatch(fd);
    ::close(fd);
    m_connections.erase(fd);
}

CCommandChannel::PostResult CCommandChannel::Post(const std::string& folder,
                                                  const std::string& name,
                                                  const std::vector<int>& ids) {
    std::string text;
    for (const int id : ids) {
        text += std::to_string(id);
        text += '\n';
    }
    for (const std::string& path : CandidatePaths(folder, name)) {
        const int fd = ConnectTo(path);
        if (fd < 0 && errno == EAGAIN) {
            return PostResult::kNotTaken;
        }
        if (fd < 0) {
            continue;
        }
        if (!PeerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        const bool sent = WriteAll(fd, text);
        ::close(fd);
        return sent ? PostResult::kDelivered : PostResult::kNotTaken;
    }
    return PostResult::kNoInstance;
}
