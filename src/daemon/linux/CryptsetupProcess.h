#pragma once

#include <sys/types.h>

#include <atomic>

#include "daemon/linux/CryptsetupRunner.h"

namespace harbormind {

// Runs a program from an argument vector (no shell) with a known environment, its input
// through a pipe (so a secret never shows on a command line), its output and errors read
// apart. A reencryption is stopped (SIGTERM, which cryptsetup takes as "stop where the
// reencryption can be resumed") when it is interrupted or the daemon dies; shorter steps run
// to their end.
class CryptsetupProcess final : public CryptsetupRunner {
public:
    Result run(const std::vector<std::string>& arguments, const std::string& input,
               const LineHandler& onLine) override;
    void interrupt() override;

private:
    std::atomic<pid_t> pid_{0};
    std::atomic<bool> interruptRequested_{false};
};

}  // namespace harbormind
