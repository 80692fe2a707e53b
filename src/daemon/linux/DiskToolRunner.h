#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace harbormind {

// Runs the disk tools (smartctl, sfdisk, the mkfs programs, cryptsetup) by name, from the
// system's own program folders only, with an argument vector (no shell); a secret goes to
// standard input. Tests replace it with a scripted one.
class DiskToolRunner {
public:
    virtual ~DiskToolRunner() = default;
    // Not launched (`launched` false) when the program is not installed.
    virtual ProcessResult run(const std::string& program, const std::vector<std::string>& arguments,
                              const std::optional<std::string>& input = std::nullopt) = 0;
    virtual bool installed(const std::string& program) const = 0;
};

// The real runner, looking in /usr/sbin, /usr/bin, /sbin and /bin.
class SystemDiskToolRunner final : public DiskToolRunner {
public:
    ProcessResult run(const std::string& program, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input = std::nullopt) override;
    bool installed(const std::string& program) const override;

private:
    static std::optional<std::string> pathOf(const std::string& program);
};

}  // namespace harbormind
