#pragma once

#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "platform/ScriptPrivilege.h"
#include "platform/sim/SimAction.h"

namespace harbormind {

// How a simulated machine answers one command line: by exact text or by a regular expression
// over the whole line. With a pattern, "$1".."$9" in the outputs and in the effects' names
// and paths stand for the captured groups. `failure` replaces the outputs when an effect
// could not be carried out (a refused mount, a disk that is gone).
struct SimCommandRule {
    struct Output {
        std::string standardOutput;
        std::string standardError;
        int exitStatus = 0;
        bool succeeded = true;  // scripts: the first half of the result pair
    };

    std::string text;
    std::shared_ptr<std::regex> pattern;  // set when the rule matches by expression
    Output output;
    std::optional<Output> failure;
    std::vector<SimAction> effects;
    std::optional<ScriptPrivilege> privilege;  // scripts only: match only this privilege
};

}  // namespace harbormind
