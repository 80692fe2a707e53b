#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectInterfaceType.h"
#include "drivemodel/DMDriveObjectLocation.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMDriveObjectType.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// The words the command line prints for the drive enumerations: each case's own name.
class CliDriveText {
public:
    static std::string text(DMDriveObjectFilesystem value);
    static std::string text(DMLocalDriveStatus value);
    static std::string text(DMDriveObjectLocation value);
    static std::string text(DMDriveObjectInterfaceType value);
    static std::string text(DMDriveObjectType value);
    static std::string text(DMDriveObjectPartitionMap value);
    // A byte count as the window shows it ("500.3 GB"); "-" when absent.
    static std::string size(std::optional<std::int64_t> bytes);
};

}  // namespace harbormind
