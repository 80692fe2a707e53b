#pragma once

#include <memory>
#include <string>

#include "xpc/DMEraseFileSystem.h"
#include "disktools/DMEraseTarget.h"

namespace harbormind {

class DMLocalDriveManager;

// The checks the window and the command line make before an erase reaches the daemon (which
// checks again), and the unmounting of the target's volumes that comes after the user's yes.
class DMEraseChecks {
public:
    // Why the target may not be erased at all: a volume of it holds the running system or
    // the home folder (nothing is unmounted then). Empty when it may.
    static std::string refusal(const DMEraseTarget& target);
    // Unmounts every mounted volume of the target (never forced); the reason of the first that
    // could not be ("in use by bash (pid 812)"), empty when all are unmounted.
    static std::string unmountVolumes(DMLocalDriveManager& manager, const DMEraseTarget& target);
};

}  // namespace harbormind
