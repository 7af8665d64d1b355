#include "ProgramProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

ProgramProcess::ProgramProcess(const std::string& binary, const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& environment,
                               const std::string& workingFolder)
    : m_stderrPath(workingFolder + "/stderr-" + std::to_string(::getpid()) + "-" +
                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())) {
    std::vector<std::string> envText;
    for (const auto& [name, value] : environment) {
        envText.push_back(name + "=" + value);
    }
    m_pid = ::fork();
    if (m_pid != 0) {
        return;
    }
    const int errorFd = ::open(m_stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int nullFd = ::open("/dev/null", O_RDWR);
    ::dup2(nullFd, 0);
    ::dup2(nullFd, 1);
    ::dup2(errorFd, 2);
    if (::chdir(workingFolder.c_str()) != 0) {
        ::_exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : envText) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    ::execve(binary.c_str(), argv.data(), envp.data());
    ::_exit(127);
}

ProgramProcess::~ProgramProcess() {
    if (IsRunning()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ::unlink(m_stderrPath.c_str());
}

int ProgramProcess::Wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (IsRunning()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

void ProgramProcess::Signal(int signo) {
    if (IsRunning()) {
        ::kill(m_pid, signo);
    }
}

bool ProgramProcess::IsRunning() {
    if (m_pid <= 0 || m_status != -1) {
        return false;
    }
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_status = status;
        return false;
    }
    return true;
}

std::string ProgramProcess::StandardError() const {
    std::ifstream in(m_stderrPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
