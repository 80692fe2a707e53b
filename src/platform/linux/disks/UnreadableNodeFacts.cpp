#include "platform/linux/disks/UnreadableNodeFacts.h"

#include <unistd.h>

#include <cerrno>

#include "platform/linux/disks/UdevDatabase.h"

namespace harbormind {

std::optional<VolumeFacts> UnreadableNodeFacts::of(const std::string& nodePath, const std::string& devNumber,
                                                   const std::string& udevDataRoot) {
    // Only a node that is there and refused: a missing node has nothing to tell.
    if (::access(nodePath.c_str(), R_OK) == 0 || (errno != EACCES && errno != EPERM)) {
        return std::nullopt;
    }
    return UdevDatabase(udevDataRoot).facts(devNumber);
}

}  // namespace harbormind
