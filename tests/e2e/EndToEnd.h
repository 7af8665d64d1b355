#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProgramProcess.h"
#include "tests/support/DnsMessages.h"
#include "tests/support/TempFolder.h"

// A private home for the real programs: configuration, runtime and working folders, a
// folder of stand-in tools found first on their PATH, and the ways a user's machine talks
// to them.
class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest();

    // What the programs started by this test see: headless, with the private folders. In
    // the sanitizer build a leak makes a program's exit status non-zero, which every test
    // checks.
    virtual std::map<std::string, std::string> Environment() const;
    // Starts an instance and waits until it takes commands (its socket named `channel`) in
    // its loop, its start-up done.
    std::unique_ptr<ProgramProcess> StartInstance(const std::string& binary,
                                                  const std::string& channel,
                                                  const std::vector<std::string>& args = {});
    // Runs a second start and returns its exit status.
    int RunOnce(const std::string& binary, const std::vector<std::string>& args);
    // Ends an instance with a second start's /q; it must end normally.
    void Quit(const std::string& binary, ProgramProcess& instance);
    // Sends SIGUSR1 and returns the line the instance then adds to its standard error, without
    // its line end; empty when none comes within a few seconds.
    static std::string StatusLineOnSignal(ProgramProcess& instance);

    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ProfileText(const std::string& profileName) const;

    // A DNS query to 127.0.0.1:53, asked again until a reply comes within `patienceMs`.
    static std::optional<kit::Bytes> AskDns(const kit::Bytes& query, int patienceMs = 3000);
    // One HTTP exchange with 127.0.0.1:80: everything sent before the server closed.
    static std::string FetchHttp(const std::string& request = "GET / HTTP/1.0\r\n\r\n");

    kit::CTempFolder m_root;
    std::string m_config;
    std::string m_runtime;
    std::string m_work;
    std::string m_tools;
};
