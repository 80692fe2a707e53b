#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The only check-disk commands the daemon runs: a volume repair, or the NTFS checker with or
// without repairing. Parsed from the two command lines the application builds (after "-c"),
// or from the same words as an argument vector; the checker's path the application names is
// never run, the backend picks its own program.
struct FirstAidCommand {
    enum class Checker { repairVolume, ntfs };

    Checker checker = Checker::repairVolume;
    std::string device;  // the device's name ("sdb1"), not yet checked
    bool repair = false;
    std::vector<std::string> arguments;  // as received

    static std::optional<FirstAidCommand> parse(const std::vector<std::string>& arguments);
};

}  // namespace harbormind
