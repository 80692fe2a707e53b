#pragma once

#include <string>

#include "engines/checkdisk/CheckDiskMode.h"

namespace harbormind {

// One First Aid run: the device path ("/dev/sdb1", already validated by the caller) and
// whether it may be repaired.
struct CheckDiskRequest {
    std::string devicePath;
    CheckDiskMode mode = CheckDiskMode::check;
};

}  // namespace harbormind
