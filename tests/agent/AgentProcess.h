#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harbormind::test {

// The blocker agent as a child process, talked to through its standard input and output.
// Ended by its own pid when the test ends.
class AgentProcess {
public:
    AgentProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment);
    ~AgentProcess();
    AgentProcess(const AgentProcess&) = delete;
    AgentProcess& operator=(const AgentProcess&) = delete;

    void send(const std::string& line);
    // The next line that starts with `prefix`, skipping others, within `limitMs`.
    std::optional<std::string> lineStartingWith(const std::string& prefix, int limitMs = 10000);

private:
    std::optional<std::string> nextLine(int limitMs);

    int pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

}  // namespace harbormind::test
