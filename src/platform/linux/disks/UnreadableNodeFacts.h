#pragma once

#include <optional>
#include <string>

#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// Where this process may not read a device node (an ordinary user on a desktop), libblkid
// sees nothing; the facts then come from udev's database.
class UnreadableNodeFacts {
public:
    // None when the node is readable (libblkid is to probe it), missing, or unknown to udev.
    static std::optional<VolumeFacts> of(const std::string& nodePath, const std::string& devNumber,
                                         const std::string& udevDataRoot);
};

}  // namespace harbormind
