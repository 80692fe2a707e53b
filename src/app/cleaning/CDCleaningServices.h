#pragma once

#include <functional>
#include <vector>

#include "platform/JunkLocations.h"

namespace harbormind {

class DMFileClearManager;
class DMFileScanManager;
class Workspace;

// What the cleaning windows work with: the junk and folder-scan managers, the category table
// of the junk window and the desktop that shows files.
struct CDCleaningServices {
    DMFileClearManager* junkManager = nullptr;
    DMFileScanManager* scanManager = nullptr;
    Workspace* workspace = nullptr;
    std::function<std::vector<JunkCategory>()> junkTable;

    // The shared managers on the current platform.
    static CDCleaningServices current();
};

}  // namespace harbormind
