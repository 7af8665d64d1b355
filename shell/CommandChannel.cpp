#include "shell/CommandChannel.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/Reactor.h"
#include "net/Sys.h"

namespace {

constexpr int kListenBacklog = 8;
// How long a second start waits for the running instance to take its connection and its
// commands; an instance that is stopped or swamped must not hold the start up for ever.
constexpr int kPostTimeoutSeconds = 1;

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
    uid_t peer = 0;
    return sys::PeerUid(fd, peer) == 0 && peer == ::geteuid();
}

// A connection to the socket at `path`, closed when it failed with errno set: ECONNREFUSED
// when nobody listens there, EAGAIN when the listener took no connection within the
// time-out. Sends on it give up after the same time-out.
CUniqueFd ConnectTo(const std::string& path) {
    CUniqueFd fd(sys::UnixSocket(false));
    if (!fd.IsOpen() || sys::SetSendTimeout(fd.Get(), kPostTimeoutSeconds) != 0 ||
        sys::ConnectUnix(fd.Get(), path) != 0) {
        const int error = errno;
        fd.Reset();
        errno = error;
    }
    return fd;
}

bool BindPrivately(int fd, const std::string& path) {
    const mode_t oldMask = ::umask(0077);
    const bool bound = sys::BindUnix(fd, path) == 0;
    const int error = errno;
    ::umask(oldMask);
    errno = error;
    return bound;
}

// Binds `fd` at `path`. A file already there is replaced only when nobody listens at it
// (left by an instance that is gone); a live instance's socket stays: EADDRINUSE.
bool BindAt(int fd, const std::string& path) {
    if (BindPrivately(fd, path)) {
        return true;
    }
    if (errno != EADDRINUSE) {
        return false;
    }
    const bool alive = ConnectTo(path).IsOpen();
    const int error = errno;
    if (alive || (error != ECONNREFUSED && error != ENOENT)) {
        errno = EADDRINUSE;
        return false;
    }
    if (error == ECONNREFUSED) {
        ::unlink(path.c_str());
    }
    return BindPrivately(fd, path);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = sys::Send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

CCommandChannel::~CCommandChannel() {
    while (!m_connections.empty()) {
        CloseConnection(m_connections.begin()->first);
    }
    if (m_listener.IsOpen()) {
        // Removed while still listening: an instance starting meanwhile finds this one alive
        // and leaves the path alone.
        RemoveBoundFile();
        if (m_reactor != nullptr) {
            m_reactor->Unwatch(m_listener.Get());
        }
    }
}

bool CCommandChannel::Listen(const std::string& folder, const std::string& name) {
    m_path = folder + "/" + name;
    CUniqueFd listener(sys::UnixSocket(true));
    if (!listener.IsOpen() || !BindAt(listener.Get(), m_path)) {
        return false;
    }
    struct stat bound {};
    const bool ready =
        ::lstat(m_path.c_str(), &bound) == 0 && sys::Listen(listener.Get(), kListenBacklog) == 0;
    const int error = errno;
    m_boundFile = {bound.st_dev, bound.st_ino};
    if (!ready) {
        RemoveBoundFile();
        errno = error;
        return false;
    }
    m_listener = std::move(listener);
    return true;
}

bool CCommandChannel::Serve(CReactor& reactor, Receiver receiver) {
    m_receiver = std::move(receiver);
    if (!reactor.WatchReadable(m_listener.Get(), [this] { OnListenerReadable(); })) {
        return false;
    }
    m_reactor = &reactor;
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
        CUniqueFd connection(sys::AcceptUnix(m_listener.Get()));
        if (!connection.IsOpen()) {
            // The connection stays queued without a descriptor for it; the listener stays
            // readable, so it is held back until one frees instead of spinning the loop.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                m_reactor->HoldWatchUntilDescriptorFree(m_listener.Get());
            }
            return;
        }
        const int fd = connection.Get();
        if (PeerIsThisUser(fd) &&
            m_reactor->WatchReadable(fd, [this, fd] { OnConnectionReadable(fd); })) {
            m_connections[fd].fd = std::move(connection);
        }
    }
}

void CCommandChannel::OnConnectionReadable(int fd) {
    char chunk[256];
    for (;;) {
        const ssize_t n = sys::Recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            m_connections[fd].reader.Read(std::string_view(chunk, static_cast<std::size_t>(n)),
                                          m_receiver);
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return;
        }
        CloseConnection(fd);  // the sender is done, or gone
        return;
    }
}

void CCommandChannel::CloseConnection(int fd) {
    m_reactor->Unwatch(fd);
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
        const CUniqueFd fd = ConnectTo(path);
        if (!fd.IsOpen() && errno == EAGAIN) {
            return PostResult::kNotTaken;
        }
        if (!fd.IsOpen() || !PeerIsThisUser(fd.Get())) {
            continue;
        }
        return WriteAll(fd.Get(), text) ? PostResult::kDelivered : PostResult::kNotTaken;
    }
    return PostResult::kNoInstance;
}
