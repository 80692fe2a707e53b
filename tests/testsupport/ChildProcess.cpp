#include "testsupport/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "testsupport/ExecArguments.h"

namespace harbormind::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
                           int* stdoutPipe, const std::string& stderrPath, const std::string& stdinPath) {
    // Close-on-exec: a program another thread starts meanwhile must not keep the pipe open.
    int pipeFds[2] = {-1, -1};
    if (stdoutPipe && ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return;
    }
    const ExecArguments exec(argv, environment);
    // A test killed at its time limit cannot stop what it started: the kernel ends the child
    // (a daemon, a bus) with it. The signal follows the forking thread, so only a child of the
    // main thread, which lives as long as the test, gets it.
    const bool fromMainThread = ::gettid() == ::getpid();
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        if (fromMainThread) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) {
                ::_exit(127);
            }
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
        }
        ::execvpe(exec.argv()[0], exec.argv(), exec.envp());
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
