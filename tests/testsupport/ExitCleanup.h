#pragma once

#include <string>
#include <vector>

namespace harbormind::test {

// A shell script that undoes what a test made on the machine (loop devices, mounts, server
// processes) however the test ends: when this object is destroyed, and also when the test
// process dies without destroying it (a crash, or the test runner killing it at its time
// limit). The script runs in a process of its own that outlives the test and waits for the
// test's end on a pipe. It gets `arguments` as $1, $2, ... and should touch only what they
// name exactly: other tests on this machine use loop devices and mounts at the same time.
class ExitCleanup {
public:
    ExitCleanup(const std::string& script, const std::vector<std::string>& arguments);
    // Runs the script now and returns when it has finished.
    ~ExitCleanup();
    ExitCleanup(const ExitCleanup&) = delete;
    ExitCleanup& operator=(const ExitCleanup&) = delete;

    bool started() const { return trigger_ >= 0; }

private:
    int trigger_ = -1;   // closing it, or the test's death, starts the script
    int finished_ = -1;  // reads end of file once the script is done
};

}  // namespace harbormind::test
