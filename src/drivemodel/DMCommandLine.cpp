#include "drivemodel/DMCommandLine.h"

#include "platform/Platform.h"
#include "platform/ProcessLauncher.h"

namespace harbormind {

DMCommandOutput DMCommandLine::run(const std::string& commandLine) {
    if (commandLine.empty()) {
        return {};
    }
    ProcessResult result = Platform::current().processes().run("/bin/sh", {"-c", commandLine});
    DMCommandOutput output;
    output.standardOutput = std::move(result.standardOutput);
    if (!result.standardError.empty()) {
        output.standardError = std::move(result.standardError);
    }
    return output;
}

}  // namespace harbormind
