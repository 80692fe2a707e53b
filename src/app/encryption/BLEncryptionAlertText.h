#pragma once

#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectFilesystem.h"

namespace harbormind {

// Which "Drive encryption" text a file system gets; none when it is not encrypted here.
class BLEncryptionAlertText {
public:
    static std::optional<std::string> forFileSystem(DMDriveObjectFilesystem fileSystem);
};

}  // namespace harbormind
