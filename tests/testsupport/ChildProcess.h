#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harbormind::test {

// A program a test starts and ends by its own pid.
class ChildProcess {
public:
    // `environment` entries are added to the test's own environment. `stdoutPipe` receives the
    // read end of the child's standard output when asked for; `stderrPath` names a file for
    // its standard error, `stdinPath` one for its standard input (else it inherits the test's).
    ChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment = {},
                 int* stdoutPipe = nullptr, const std::string& stderrPath = {}, const std::string& stdinPath = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int pid() const { return pid_; }
    bool running();
    void signal(int number);
    // The exit status (or 128 + signal) once it ended within `limit`.
    std::optional<int> waitExit(std::chrono::milliseconds limit);

private:
    int pid_ = -1;
    std::optional<int> status_;
};

}  // namespace harbormind::test
