#include "platform/sim/SimScriptRunner.h"

namespace harbormind {

std::pair<bool, std::optional<std::string>> SimScriptRunner::run(const std::string& commandLine,
                                                                 ScriptPrivilege privilege) {
    {
        std::lock_guard lock(mutex_);
        runs_.push_back({commandLine, privilege});
    }
    if (privilege == ScriptPrivilege::Administrator && !administratorGranted_) {
        return {false, std::nullopt};
    }
    auto answer = responder_.respond(commandLine, privilege);
    if (!answer) {
        return {true, std::nullopt};
    }
    if (!answer->succeeded) {
        return {false, std::nullopt};
    }
    return {true, answer->standardOutput.empty() ? std::nullopt : std::optional(answer->standardOutput)};
}

std::vector<SimScriptRunner::Run> SimScriptRunner::runs() {
    std::lock_guard lock(mutex_);
    return runs_;
}

}  // namespace harbormind
