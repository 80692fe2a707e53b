#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// What a child process printed. Both streams are raw bytes; the exit status is kept for
// callers that want it, though the drive operations judge only the texts.
struct ProcessResult {
    bool launched = false;
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

// Starts programs as child processes and waits for them.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Runs the program to its end, draining both pipes while it runs. `input`, when given,
    // is written to its standard input (then closed), so secrets never reach a command line.
    virtual ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                              const std::optional<std::string>& input = std::nullopt) = 0;
};

}  // namespace harbormind
