#include "EndToEnd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void EndToEndTest::SetUp() {
    char pattern[] = "/tmp/e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_root = pattern;
    m_config = m_root + "/config";
    m_runtime = m_root + "/runtime";
    m_work = m_root + "/work";
    fs::create_directories(m_config);
    fs::create_directories(m_runtime);
    fs::create_directories(m_work);
    fs::create_directories(m_root + "/bin");
    fs::permissions(m_runtime, fs::perms::owner_all);
}

void EndToEndTest::TearDown() {
    fs::remove_all(m_root);
}

// Headless (no DISPLAY), private folders. In the sanitizer build a leak makes the program's
// exit status non-zero, which every test checks.
std::map<std::string, std::string> EndToEndTest::Environment() const {
    return {{"XDG_CONFIG_HOME", m_config},
            {"XDG_RUNTIME_DIR", m_runtime},
            {"HOME", m_root},
            {"PATH", m_root + "/bin:/usr/bin:/bin"},
            {"ASAN_OPTIONS", "detect_leaks=1"}};
}

std::unique_ptr<ProgramProcess> EndToEndTest::Start(const std::string& binary,
                                                    const std::vector<std::string>& args) {
    return std::make_unique<ProgramProcess>(binary, args, Environment(), m_work);
}

int EndToEndTest::RunOnce(const std::string& binary, const std::vector<std::string>& args) {
    ProgramProcess process(binary, args, Environment(), m_work);
    return process.Wait(5000);
}

void EndToEndTest::WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(m_work + "/" + name, std::ios::binary) << text;
}

std::string EndToEndTest::ProfileText(const std::string& profileName) const {
    std::ifstream in(m_config + "/" + profileName);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool EndToEndTest::AwaitInstance(const std::string& socketName, int timeoutMs) const {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (fs::exists(m_runtime + "/" + socketName)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::vector<std::uint8_t> AddressQuery(std::uint16_t id, const std::string& name) {
    std::vector<std::uint8_t> query = {static_cast<std::uint8_t>(id >> 8),
                                       static_cast<std::uint8_t>(id & 0xFF),
                                       0x01,
                                       0x00,
                                       0,
                                       1,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0};
    std::size_t start = 0;
    while (start < name.size()) {
        const std::size_t dot = std::min(name.find('.', start), name.size());
        query.push_back(static_cast<std::uint8_t>(dot - start));
        query.insert(query.end(), name.begin() + static_cast<long>(start),
                     name.begin() + static_cast<long>(dot));
        start = dot + 1;
    }
    query.insert(query.end(), {0, 0, 1, 0, 1});
    return query;
}

namespace {

sockaddr_in AddressOf(const std::string& host, unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    return address;
}

bool AwaitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}

}  // namespace

std::vector<std::uint8_t> AskDns(const std::string& host, unsigned port,
                                 const std::vector<std::uint8_t>& query, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in to = AddressOf(host, port);
    ::sendto(fd, query.data(), query.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    std::vector<std::uint8_t> reply(4096);
    ssize_t n = -1;
    if (AwaitReadable(fd, timeoutMs)) {
        n = ::recv(fd, reply.data(), reply.size(), 0);
    }
    ::close(fd);
    reply.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return reply;
}

std::vector<std::uint8_t> AwaitDnsReply(const std::string& host, unsigned port,
                                        const std::vector<std::uint8_t>& query, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        std::vector<std::uint8_t> reply = AskDns(host, port, query, 100);
        if (!reply.empty()) {
            return reply;
        }
    }
    return {};
}

std::string FetchHttp(unsigned port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in to = AddressOf("127.0.0.1", port);
    std::string reply;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        char chunk[4096];
        while (AwaitReadable(fd, 3000)) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                break;
            }
            reply.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return reply;
}

FakeUpstreamServer::FakeUpstreamServer(const std::string& address) {
    m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in local = AddressOf(address, 53);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::pipe(m_stopFds) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_thread = std::thread([this] {
        for (;;) {
            pollfd entries[2] = {{m_fd, POLLIN, 0}, {m_stopFds[0], POLLIN, 0}};
            ::poll(entries, 2, -1);
            if (entries[1].revents != 0) {
                return;
            }
            std::vector<std::uint8_t> query(512);
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, query.data(), query.size(), 0,
                                         reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n < 12) {
                continue;
            }
            query.resize(static_cast<std::size_t>(n));
            const std::vector<std::uint8_t> reply = ReplyTo(query);
            ::sendto(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                     fromLength);
        }
    });
}

FakeUpstreamServer::~FakeUpstreamServer() {
    if (m_thread.joinable()) {
        [[maybe_unused]] const ssize_t woken = ::write(m_stopFds[1], "x", 1);
        m_thread.join();
    }
    for (const int fd : {m_fd, m_stopFds[0], m_stopFds[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::vector<std::uint8_t> FakeUpstreamServer::ReplyTo(const std::vector<std::uint8_t>& query) {
    std::vector<std::uint8_t> reply = query;
    reply[2] = 0x81;
    reply[3] = 0x80;
    reply[7] = 1;
    reply.insert(reply.end(), {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 192, 0, 2, 1});
    return reply;
}
