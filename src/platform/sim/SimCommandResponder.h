#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimCommandRule.h"

namespace harbormind {

class SimMachine;

// Answers command lines from a list of rules: the first rule that matches gives the output,
// after its effects have changed the machine. Rules added later are tried first.
class SimCommandResponder {
public:
    SimCommandResponder(std::vector<SimCommandRule> rules, SimMachine& machine);

    void addRule(SimCommandRule rule);
    // None when no rule matches.
    std::optional<SimCommandRule::Output> respond(const std::string& line,
                                                  std::optional<ScriptPrivilege> privilege = std::nullopt);

private:
    std::mutex mutex_;
    std::vector<SimCommandRule> rules_;
    SimMachine& machine_;
};

}  // namespace harbormind
