#include "platform/sim/SimProcessLauncher.h"

namespace harbormind {

std::string SimProcessLauncher::commandLine(const std::string& launchPath, const std::vector<std::string>& arguments) {
    if (launchPath == "/bin/sh" && arguments.size() == 2 && arguments[0] == "-c") {
        return arguments[1];
    }
    std::string line = launchPath;
    for (const auto& argument : arguments) {
        line += " " + argument;
    }
    return line;
}

ProcessResult SimProcessLauncher::run(const std::string& launchPath, const std::vector<std::string>& arguments,
                                      const std::optional<std::string>& input) {
    std::string line = commandLine(launchPath, arguments);
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
        inputs_.push_back(input);
    }
    ProcessResult result;
    result.launched = true;
    auto answer = responder_.respond(line);
    if (!answer) {
        result.exitStatus = 127;
        return result;
    }
    result.exitStatus = answer->exitStatus;
    result.standardOutput = answer->standardOutput;
    result.standardError = answer->standardError;
    return result;
}

std::vector<std::string> SimProcessLauncher::lines() {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::optional<std::string>> SimProcessLauncher::inputs() {
    std::lock_guard lock(mutex_);
    return inputs_;
}

}  // namespace harbormind
