#pragma once

#include <string>

#include "platform/ProcessLauncher.h"
#include "platform/ScriptRunner.h"

namespace harbormind {

// Runs a command line with "/bin/sh -c". With administrator rights: directly when the
// process already runs as root, otherwise through the desktop's elevation program
// (pkexec), which asks the user. The command line is one argument from start to end: it is
// never pasted into another quoted text.
class LinuxScriptRunner final : public ScriptRunner {
public:
    enum class RootCheck { Effective, AssumeNotRoot };

    explicit LinuxScriptRunner(ProcessLauncher& processes, std::string elevationProgram = "pkexec",
                               RootCheck rootCheck = RootCheck::Effective)
        : processes_(processes), elevationProgram_(std::move(elevationProgram)), rootCheck_(rootCheck) {}

    // (succeeded, output). Success is exit status 0; the output is the standard output
    // without its final newline, none when empty. The elevation program's own refusals
    // (126: the prompt was dismissed, 127: not authorized) and every other failure give
    // (false, none).
    std::pair<bool, std::optional<std::string>> run(const std::string& commandLine, ScriptPrivilege privilege) override;

private:
    ProcessLauncher& processes_;
    const std::string elevationProgram_;
    const RootCheck rootCheck_;
};

}  // namespace harbormind
