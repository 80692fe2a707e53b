#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engines/checkdisk/CheckDiskMode.h"
#include "engines/checkdisk/CheckerFamily.h"

namespace harbormind {

// What one run of a checker says about the volume, read from its exit status.
enum class CheckerOutcome { clean, fixed, errors, failed };

// Which checker handles which file system, with which fixed arguments, and what its exit
// statuses mean. The device path is always the last argument and the only variable one.
class CheckerTable {
public:
    // The family of a libblkid TYPE ("ext4", "vfat", "exfat", "ntfs", "xfs", "btrfs").
    static std::optional<CheckerFamily> familyOf(const std::string& type);
    // The program's name, looked up by CheckerPrograms.
    static std::string programName(CheckerFamily family);

    static std::vector<std::string> checkArguments(CheckerFamily family, const std::string& device);
    // Empty for a family that is never repaired (btrfs).
    static std::vector<std::string> repairArguments(CheckerFamily family, const std::string& device);
    // The second, answering repair run when the automatic one gave up; empty when none.
    static std::vector<std::string> fallbackArguments(CheckerFamily family, const std::string& device);
    static bool asksForFallback(CheckerFamily family, int exitStatus);
    // Whether the repair's exit status cannot tell "nothing to do" from "mended", so a
    // read-only check must come first.
    static bool checksBeforeRepair(CheckerFamily family);

    static CheckerOutcome outcome(CheckerFamily family, CheckDiskMode mode, int exitStatus);
    // Whether a line a repair run printed says it changed something ("Correcting differences
    // in $MFTMirr record 0...OK"), for checkers whose exit status stays 0 after mending.
    static bool reportsRepair(CheckerFamily family, const std::string& line);
};

}  // namespace harbormind
