#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ProgramProcess.h"

// A private home for one real program: its configuration, runtime and working folders,
// and helpers that talk to it as a user's machine would.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What the programs started by this test see: headless, with the private folders.
    virtual std::map<std::string, std::string> Environment() const;
    std::unique_ptr<ProgramProcess> Start(const std::string& binary,
                                          const std::vector<std::string>& args = {});
    // Runs a second start and returns its exit status.
    int RunOnce(const std::string& binary, const std::vector<std::string>& args);

    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ProfileText(const std::string& profileName) const;
    // Waits up to `timeoutMs` for the instance's command socket.
    bool AwaitInstance(const std::string& socketName, int timeoutMs = 3000) const;

    // Programs found first on the programs' PATH, so tests can stand in for a desktop tool.
    std::string m_root;
    std::string m_config;
    std::string m_runtime;
    std::string m_work;
};

// An A query for `name` with this ID.
std::vector<std::uint8_t> AddressQuery(std::uint16_t id, const std::string& name);
// Sends `query` to host:port over UDP; the reply, or nothing after `timeoutMs`.
std::vector<std::uint8_t> AskDns(const std::string& host, unsigned port,
                                 const std::vector<std::uint8_t>& query, int timeoutMs = 500);
// Repeats AskDns until a reply comes, up to `timeoutMs`.
std::vector<std::uint8_t> AwaitDnsReply(const std::string& host, unsigned port,
                                        const std::vector<std::uint8_t>& query, int timeoutMs);
// One HTTP request to 127.0.0.1:port; everything the server sent before it closed.
std::string FetchHttp(unsigned port, const std::string& request = "GET / HTTP/1.0\r\n\r\n");

// An upstream DNS server on address:53 that answers every query with its ID, the flags
// 81 80, the question, and one A record carrying 192.0.2.1.
class FakeUpstreamServer {
public:
    explicit FakeUpstreamServer(const std::string& address);
    ~FakeUpstreamServer();
    bool IsListening() const { return m_fd >= 0; }
    static std::vector<std::uint8_t> ReplyTo(const std::vector<std::uint8_t>& query);

private:
    int m_fd = -1;
    int m_stopFds[2] = {-1, -1};
    std::thread m_thread;
};
