#include "EndToEnd.h"

#include <csignal>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "base/UniqueFd.h"
#include "net/Sys.h"
#include "tests/support/LoopbackClients.h"

constexpr unsigned kDnsPort = 53;
constexpr unsigned kHttpPort = 80;
constexpr int kAskSliceMs = 100;
constexpr int kStartPatienceMs = 3000;

namespace {

// Whether the instance that binds `path` serves its channel from its loop within
// `patienceMs`: it then reads an empty connection to its end and closes it. A start still on
// its way listens already, but leaves the connection waiting.
bool ServesChannel(const std::string& path, int patienceMs) {
    for (int waited = 0; waited < patienceMs; waited += 10) {
        const CUniqueFd fd(sys::UnixSocket(false));
        if (sys::ConnectUnix(fd.Get(), path) == 0) {
            char byte = 0;
            return sys::Shutdown(fd.Get(), SHUT_WR) == 0 &&
                   sys::PollReadable(fd.Get(), patienceMs - waited) == 1 &&
                   sys::Read(fd.Get(), &byte, 1) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

EndToEndTest::EndToEndTest()
    : m_config(m_root.AddFolder("config")),
      m_runtime(m_root.AddFolder("runtime")),
      m_work(m_root.AddFolder("work")),
      m_tools(m_root.AddFolder("bin")) {
    ::chmod(m_runtime.c_str(), 0700);
}

std::map<std::string, std::string> EndToEndTest::Environment() const {
    return {{"XDG_CONFIG_HOME", m_config},
            {"XDG_RUNTIME_DIR", m_runtime},
            {"HOME", m_root.Path()},
            {"PATH", m_tools + ":/usr/bin:/bin"},
            {"ASAN_OPTIONS", "detect_leaks=1"}};
}

std::unique_ptr<ProgramProcess> EndToEndTest::StartInstance(const std::string& binary,
                                                            const std::string& channel,
                                                            const std::vector<std::string>& args) {
    auto process = std::make_unique<ProgramProcess>(binary, args, Environment(), m_work);
    EXPECT_TRUE(ServesChannel(m_runtime + "/" + channel, kStartPatienceMs))
        << process->StandardError();
    return process;
}

int EndToEndTest::RunOnce(const std::string& binary, const std::vector<std::string>& args) {
    ProgramProcess process(binary, args, Environment(), m_work);
    return process.Wait(5000);
}

void EndToEndTest::Quit(const std::string& binary, ProgramProcess& instance) {
    EXPECT_EQ(RunOnce(binary, {"/q"}), 0);
    EXPECT_EQ(instance.Wait(5000), 0) << instance.StandardError();
}

std::string EndToEndTest::StatusLineOnSignal(ProgramProcess& instance) {
    const std::size_t before = instance.StandardError().size();
    instance.Signal(SIGUSR1);
    for (int waited = 0; waited < 5000; waited += 10) {
        const std::string added = instance.StandardError().substr(before);
        if (const std::size_t end = added.find('\n'); end != std::string::npos) {
            return added.substr(0, end);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

void EndToEndTest::WriteFile(const std::string& name, const std::string& text) const {
    m_root.Write("work/" + name, text);
}

std::string EndToEndTest::ProfileText(const std::string& profileName) const {
    return m_root.Read("config/" + profileName);
}

std::optional<kit::Bytes> EndToEndTest::AskDns(const kit::Bytes& query, int patienceMs) {
    const kit::CUdpClient client;
    for (int waited = 0; waited < patienceMs; waited += kAskSliceMs) {
        if (auto reply = client.Ask(kDnsPort, query, kAskSliceMs)) {
            return reply;
        }
    }
    return std::nullopt;
}

std::string EndToEndTest::FetchHttp(const std::string& request) {
    kit::CTcpClient client(kHttpPort);
    if (!client.IsConnected()) {
        return "";
    }
    client.SendSome(request);
    return client.ReadToEnd();
}
