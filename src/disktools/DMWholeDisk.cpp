#include "disktools/DMWholeDisk.h"

#include "drivemodel/DMDriveObjectProtocol.h"

namespace harbormind {

std::shared_ptr<DMDriveObjectProtocol> DMWholeDisk::of(std::shared_ptr<DMDriveObjectProtocol> drive) {
    // A tree is shallow; the bound keeps a broken one from looping.
    for (int depth = 0; drive && depth < 16; ++depth) {
        auto above = drive->parent();
        if (!above) {
            above = drive->physicalDriveObj();
            if (above == drive) {
                above = nullptr;
            }
        }
        if (!above) {
            return drive;
        }
        drive = above;
    }
    return drive;
}

}  // namespace harbormind
