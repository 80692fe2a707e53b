#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace harbormind {

// Runs one checker program from a fixed argument vector (no shell), with its standard
// output and standard error on one pipe so the lines keep the order the checker wrote
// them in, and standard input on /dev/null. A reader thread drains the pipe at once, so a
// slow receiver never stalls the checker; lines reach the handler on the calling thread.
class CheckerProcess {
public:
    using LineHandler = std::function<void(const std::string& line)>;

    // Exit statuses for a checker that could not be started or was killed.
    static constexpr int notStarted = 127;
    static constexpr int killed = 128;

    explicit CheckerProcess(std::vector<std::string> arguments);
    ~CheckerProcess();
    CheckerProcess(const CheckerProcess&) = delete;
    CheckerProcess& operator=(const CheckerProcess&) = delete;

    // Runs the program (`arguments[0]`, an absolute path) to its end, handing every line
    // of output (with its line feed) to `handler`. Returns its exit status.
    int run(const LineHandler& handler);
    // Kills the running checker and its children; safe from any thread.
    void kill();

private:
    bool spawn(int& readEnd);
    int waitForExit();

    std::vector<std::string> arguments_;
    std::atomic<pid_t> pid_{0};
    std::atomic<bool> killRequested_{false};
};

}  // namespace harbormind
