#pragma once

#include <string>

#include "drivemodel/DMDriveObjectCategory.h"
#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectInterfaceType.h"
#include "drivemodel/DMDriveObjectLocation.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMDriveObjectType.h"

namespace harbormind {

// The words the detail views show for the drive enumerations; "Unknown" for `unknown` and
// for every case without a word of its own.
class DMDisplayNames {
public:
    static std::string of(DMDriveObjectFilesystem value);
    static std::string of(DMDriveObjectLocation value);
    static std::string of(DMDriveObjectPartitionMap value);
    static std::string of(DMDriveObjectInterfaceType value);
    static std::string of(DMDriveObjectType value);
    static std::string of(DMDriveObjectCategory value);
};

}  // namespace harbormind
