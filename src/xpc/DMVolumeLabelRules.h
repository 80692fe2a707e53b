#pragma once

#include <string>

#include "xpc/DMEraseFileSystem.h"

namespace harbormind {

// Whether a name can be a file system's label, and the label as it will be written (FAT32
// keeps names in capitals). The reason says what to change, in words a person can act on.
struct DMVolumeLabelCheck {
    bool accepted = false;
    std::string label;
    std::string reason;
};

class DMVolumeLabelRules {
public:
    static DMVolumeLabelCheck check(DMEraseFileSystem fileSystem, const std::string& name);
};

}  // namespace harbormind
