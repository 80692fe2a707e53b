#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/ScriptPrivilege.h"

namespace harbormind {

// Runs a shell command line through the platform's script runner, as the user or with
// administrator rights (the platform asks the user for them).
class DMRunCommand {
public:
    // (succeeded, output). An error, a refused or a cancelled administrator prompt gives
    // (false, no output) and is logged. The command line is passed on unchanged, as its own
    // argument: it is never pasted inside another quoted text.
    static std::pair<bool, std::optional<std::string>> runScript(const std::string& commandLine,
                                                                 ScriptPrivilege asAdministrator);
};

}  // namespace harbormind
