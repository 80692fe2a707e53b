#include "drivemodel/DMCommandLine.h"

#include "runner/TaskHandler.h"

namespace harbormind {

DMCommandOutput DMCommandLine::run(const std::string& commandLine) {
    DMCommandOutput output;
    if (commandLine.empty()) {
        return output;
    }
    TaskHandler::run("/bin/sh", {"-c", commandLine},
                     [&](const std::string& standardOutput, const std::optional<std::string>& standardError) {
                         output.standardOutput = standardOutput;
                         output.standardError = standardError;
                     });
    return output;
}

}  // namespace harbormind
