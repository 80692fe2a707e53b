#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "testsupport/ExecArguments.h"

namespace harbormind::clone::test {

// Runs a program with an argument vector (no shell) and returns its exit status; its standard
// output goes to `output` when given, its standard error is discarded.
inline int runProgram(const std::vector<std::string>& argv, std::string* output = nullptr) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    const harbormind::test::ExecArguments exec(argv);
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], 1);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::execvp(exec.argv()[0], exec.argv());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        if (output) {
            output->append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace harbormind::clone::test
