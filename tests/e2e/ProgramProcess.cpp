#include "ProgramProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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
    std::vector<std::string> texts{binary};
    texts.insert(texts.end(), args.begin(), args.end());
    for (const auto& [name, value] : environment) {
        texts.push_back(name + "=" + value);
    }
    // The arguments, a null, the environment, a null.
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.insert(pointers.begin() + static_cast<long>(args.size() + 1), nullptr);
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDWR, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_RDWR, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, m_stderrPath.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    if (::posix_spawn(&m_pid, binary.c_str(), &actions, nullptr, pointers.data(),
                      pointers.data() + args.size() + 2) != 0) {
        m_pid = -1;
    }
    ::posix_spawn_file_actions_destroy(&actions);
}

ProgramProcess::~ProgramProcess() {
    if (IsRunning()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ::unlink(m_stderrPath.c_str());
}

int ProgramProcess::Wait(int timeoutMs) {
    for (int waited = 0; IsRunning(); waited += 5) {
        if (waited >= timeoutMs) {
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
    int status = 0;
    if (m_pid <= 0 || m_status != -1 || ::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        if (m_pid > 0 && m_status == -1) {
            m_status = status;
        }
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
