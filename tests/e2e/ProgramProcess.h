#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// One run of a real program, started headless with its own environment and folder; its
// standard error goes to a file the test can read.
class ProgramProcess {
public:
    ProgramProcess(const std::string& binary, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& environment,
                   const std::string& workingFolder);
    ~ProgramProcess();

    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // The exit status, or -1 when the program did not end within `timeoutMs` (it is then
    // left running).
    int Wait(int timeoutMs);
    void Signal(int signo);
    bool IsRunning();
    std::string StandardError() const;

private:
    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_stderrPath;
};
