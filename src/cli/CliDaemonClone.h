#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/CliCloneOptions.h"

namespace harbormind {

class CliContext;
class DMDeviceCloneWrapper;

// `clone` through the daemon's device-clone service, as a user who is not root clones: the
// daemon checks the pair, asks polkit and copies; this prints its progress, sends a stop on
// Ctrl+C or SIGTERM and tells how the copy ended. Reports that stop coming are not waited for
// for ever: the daemon is asked whether the clone still runs.
class CliDaemonClone {
public:
    CliDaemonClone(CliContext& context, CliCloneOptions options);
    int run();

    static constexpr double silenceSeconds = 15;

private:
    // Empty when the clone may start (`isCover` set), else why not.
    std::optional<std::string> refusal(bool& isCover);
    std::string destinationDescription();

    CliContext& context_;
    CliCloneOptions options_;
    std::string source_;
    std::string destination_;
    std::shared_ptr<DMDeviceCloneWrapper> wrapper_;
};

}  // namespace harbormind
