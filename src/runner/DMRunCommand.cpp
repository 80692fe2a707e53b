#include "runner/DMRunCommand.h"

#include "platform/Platform.h"
#include "platform/ScriptRunner.h"
#include "support/Log.h"

namespace harbormind {

std::pair<bool, std::optional<std::string>> DMRunCommand::runScript(const std::string& commandLine,
                                                                    ScriptPrivilege asAdministrator) {
    auto [succeeded, output] = Platform::current().scripts().run(commandLine, asAdministrator);
    if (!succeeded) {
        Log::error("The script did not run: " + commandLine +
                   (asAdministrator == ScriptPrivilege::Administrator ? " (with administrator privileges)" : ""));
        return {false, std::nullopt};
    }
    return {true, std::move(output)};
}

}  // namespace harbormind
