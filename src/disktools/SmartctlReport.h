#pragma once

#include <cstddef>
#include <string>

#include "disktools/DMDriveHealth.h"

namespace harbormind {

// Reads the JSON report of `smartctl --json -a` (ATA, NVMe and SCSI drives) into a drive's
// health. The report is outside input: anything missing, of another type or absurd is left
// out, and a report that is not JSON at all gives `unknown` with the reason.
class SmartctlReport {
public:
    static constexpr std::size_t maximumSize = 4u << 20;
    static constexpr int maximumDepth = 32;

    static DMDriveHealth parse(const std::string& text);
};

}  // namespace harbormind
