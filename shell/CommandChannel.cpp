#include "shell/CommandChannel.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "net/Reactor.h"

namespace {

// A line longer than this is no command id; it is dropped.
constexpr std::size_t kMaxLineLength = 16;
constexpr int kListenBacklog = 8;

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

int ConnectTo(const std::string& path) {
    sockaddr_un address{};
    if (!FillAddress(path, address)) {
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
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
        m_reactor.Unwatch(m_listenFd);
        ::close(m_listenFd);
        ::unlink(m_path.c_str());
    }
}

bool CCommandChannel::Listen(const std::string& folder, const std::string& name) {
    m_path = folder + "/" + name;
    sockaddr_un address{};
    if (!FillAddress(m_path, address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    // Whatever is still there belongs to an instance that is gone: this process is the
    // running instance now.
    ::unlink(m_path.c_str());
    const mode_t oldMask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(fd, kListenBacklog) != 0 ||
        !m_reactor.WatchReadable(fd, [this] { OnListenerReadable(); })) {
        ::close(fd);
        return false;
    }
    m_listenFd = fd;
    return true;
}

void CCommandChannel::OnListenerReadable() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;  // nothing more waiting, or no descriptor to spare: the sender gives up
        }
        if (!m_reactor.WatchReadable(fd, [this, fd] { OnConnectionReadable(fd); })) {
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
            std::string& pending = m_connections[fd].pending;
            for (ssize_t i = 0; i < n; ++i) {
                if (chunk[i] != '\n') {
                    if (pending.size() <= kMaxLineLength) {
                        pending.push_back(chunk[i]);
                    }
                    continue;
                }
                int id = 0;
                const auto [end, error] =
                    std::from_chars(pending.data(), pending.data() + pending.size(), id);
                if (error == std::errc() && end == pending.data() + pending.size() && id > 0) {
                    m_receiver(id);
                }
                pending.clear();
            }
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

bool CCommandChannel::Post(const std::string& folder, const std::string& name,
                           const std::vector<int>& ids) {
    for (const std::string& path : CandidatePaths(folder, name)) {
        const int fd = ConnectTo(path);
        if (fd < 0) {
            continue;
        }
        std::string text;
        for (const int id : ids) {
            text += std::to_string(id);
            text += '\n';
        }
        WriteAll(fd, text);
        ::close(fd);
        return true;
    }
    return false;
}
