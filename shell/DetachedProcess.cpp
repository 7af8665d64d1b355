#include "shell/DetachedProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace {

constexpr int kFirstInheritableFd = 3;
constexpr int kExecFailedStatus = 127;

// Runs in the grandchild: only async-signal-safe calls until exec.
[[noreturn]] void ExecDetached(char* const* argv) {
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::close_range(kFirstInheritableFd, ~0U, 0);
    ::execvp(argv[0], argv);
    ::_exit(kExecFailedStatus);
}

}  // namespace

bool StartDetached(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return false;
    }
    // Built before fork: the children must not allocate.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ExecDetached(argv.data());
        }
        ::_exit(grandchild < 0 ? EXIT_FAILURE : EXIT_SUCCESS);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == EXIT_SUCCESS;
}
