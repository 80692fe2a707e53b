#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/DMDriveSnapshot.h"

namespace harbormind {

class DMDriveObjectProtocol;

// Reads drive snapshots on the background queue and hands them over on the main queue, so
// the window never waits for the platform or the helper daemon.
class DMDriveSnapshotLoader {
public:
    using Drives = std::vector<std::shared_ptr<DMDriveObjectProtocol>>;
    using Done = std::function<void(std::vector<DMDriveSnapshot>)>;

    static void load(Drives drives, Done done);
    // Loads still on their way; tests wait for zero.
    static int pending();
};

}  // namespace harbormind
