#include "platform/linux/processes/LinuxScriptRunner.h"

#include <unistd.h>

namespace harbormind {

std::pair<bool, std::optional<std::string>> LinuxScriptRunner::run(const std::string& commandLine,
                                                                   ScriptPrivilege privilege) {
    bool elevate = privilege == ScriptPrivilege::Administrator &&
                   (rootCheck_ == RootCheck::AssumeNotRoot || ::geteuid() != 0);
    ProcessResult result = elevate ? processes_.run(elevationProgram_, {"/bin/sh", "-c", commandLine})
                                   : processes_.run("/bin/sh", {"-c", commandLine});
    if (!result.launched || result.exitStatus != 0) {
        return {false, std::nullopt};
    }
    std::string output = std::move(result.standardOutput);
    if (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    if (output.empty()) {
        return {true, std::nullopt};
    }
    return {true, std::move(output)};
}

}  // namespace harbormind
