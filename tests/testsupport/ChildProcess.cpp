#include "testsupport/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace harbormind::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
                           int* stdoutPipe, const std::string& stderrPath, const std::string& stdinPath) {
    int pipeFds[2] = {-1, -1};
    if (stdoutPipe && ::pipe(pipeFds) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& [key, value] : environment) {
            ::setenv(key.c_str(), value.c_str(), 1);
        }
        if (!stderrPath.empty()) {
            int fd = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
            ::dup2(fd, STDERR_FILENO);
        }
        if (!stdinPath.empty()) {
            int fd = ::open(stdinPath.c_str(), O_RDONLY | O_CLOEXEC);
            ::dup2(fd, STDIN_FILENO);
        }
        if (stdoutPipe) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
        }
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    if (stdoutPipe) {
        ::close(pipeFds[1]);
        *stdoutPipe = pipeFds[0];
    }
}

ChildProcess::~ChildProcess() {
    if (running()) {
        signal(SIGKILL);
        waitExit(std::chrono::milliseconds(5000));
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || status_) {
        return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void ChildProcess::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        // A real child process: short polls with a bound.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    running();
    return status_;
}

}  // namespace harbormind::test
