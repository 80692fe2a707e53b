#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/drives/DMDriveSnapshot.h"

namespace harbormind {

class DMDriveObjectProtocol;

// Reads drive snapshots on the background queue and hands them over on the main queue, so
// the window never waits for the platform or the helper daemon.
class DMDriveSnapshotLoader {
public:
    using Drives = std::vector<std::shared_ptr<DMDriveObjectProtocol>>;
    using Done = std::function<void(std::vector<DMDriveSnapshot>)>;

    // Drives listed in `refresh` are re-classified first (their update() runs).
    static void load(Drives drives, Done done, std::set<std::string> refresh = {});
    // Loads still on their way; tests wait for zero.
    static int pending();
};

}  // namespace harbormind
