#pragma once

#include "platform/ProcessLauncher.h"
#include "support/Clock.h"

namespace harbormind {

// Starts programs with posix_spawn, never through a shell unless the caller runs /bin/sh
// itself. Both output pipes are drained with poll() while the child runs, so a child that
// prints more than a pipe holds never blocks; standard input, when given, is written in
// the same loop and then closed, otherwise the child reads /dev/null. A launch path without
// "/" is looked up in PATH.
class LinuxProcessLauncher final : public ProcessLauncher {
public:
    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input = std::nullopt) override;

    // Starts the program with every standard stream on /dev/null and does not wait; the child
    // is reaped by a thread of its own. True when the program started.
    static bool spawnDetached(const std::string& launchPath, const std::vector<std::string>& arguments);
    // As spawnDetached, then waits up to `limit` (on the current clock) for the program to end.
    // Its exit status when it ended in time, none when it still runs (it is left to run);
    // -1 when it did not start.
    static std::optional<int> spawnWatched(const std::string& launchPath, const std::vector<std::string>& arguments,
                                           Clock::Duration limit);
};

}  // namespace harbormind
