#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/ProcessLauncher.h"
#include "platform/sim/SimCommandResponder.h"

namespace harbormind {

// Runs no program: each command line is answered by the scenario's command rules. The line
// is the text after "/bin/sh -c", or the program and its arguments joined by spaces. An
// unknown line prints nothing and exits with 127. Every line is recorded.
class SimProcessLauncher final : public ProcessLauncher {
public:
    SimProcessLauncher(std::vector<SimCommandRule> rules, SimMachine& machine) : responder_(std::move(rules), machine) {}

    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input = std::nullopt) override;

    void addRule(SimCommandRule rule) { responder_.addRule(std::move(rule)); }
    std::vector<std::string> lines();
    // What each run was given on its standard input, in order (empty for none).
    std::vector<std::optional<std::string>> inputs();

    static std::string commandLine(const std::string& launchPath, const std::vector<std::string>& arguments);

private:
    SimCommandResponder responder_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::optional<std::string>> inputs_;
};

}  // namespace harbormind
