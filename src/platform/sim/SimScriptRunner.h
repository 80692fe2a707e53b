#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/ScriptRunner.h"
#include "platform/sim/SimCommandResponder.h"

namespace harbormind {

// Runs no script: each line is answered by the scenario's script rules. A refused
// administrator prompt fails every administrator run without looking at the rules; an
// unknown line succeeds with no output. Every run is recorded.
class SimScriptRunner final : public ScriptRunner {
public:
    struct Run {
        std::string commandLine;
        ScriptPrivilege privilege = ScriptPrivilege::User;
    };

    SimScriptRunner(std::vector<SimCommandRule> rules, bool administratorGranted, SimMachine& machine)
        : responder_(std::move(rules), machine), administratorGranted_(administratorGranted) {}

    std::pair<bool, std::optional<std::string>> run(const std::string& commandLine, ScriptPrivilege privilege) override;

    void addRule(SimCommandRule rule) { responder_.addRule(std::move(rule)); }
    void setAdministratorGranted(bool granted) { administratorGranted_ = granted; }
    std::vector<Run> runs();

private:
    SimCommandResponder responder_;
    std::atomic<bool> administratorGranted_;
    std::mutex mutex_;
    std::vector<Run> runs_;
};

}  // namespace harbormind
