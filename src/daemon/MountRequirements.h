#pragma once

#include <string>
#include <vector>

#include "daemon/DaemonAction.h"

namespace harbormind {

// What the daemon knows of the medium a mount, unmount or eject names, for the caller.
struct MediumFacts {
    std::string disk;                // "sdb", "loop3"
    bool loop = false;               // a disk image
    bool attachedByCaller = false;   // an image the caller attached through the daemon
    bool removable = false;          // the kernel's removable flag
    bool internal = false;           // part of the computer (not USB, FireWire, a card, an image)
};

// The actions a call needs, and what the caller is told when one is refused.
struct MountRequirement {
    std::vector<DaemonAction> actions;
    std::string refusal;
    bool operator==(const MountRequirement&) const = default;
};

// Whose media is whose, as a trusted desktop has it: removable media and the images a user
// attached are that user's to mount, and anybody active may take removable media away with
// whatever is mounted on it; other users' mounts on other disks, the computer's own disks and
// images others attached are an administrator's.
class MountRequirements {
public:
    static MountRequirement toMount(const MediumFacts& medium, const std::string& name);
    // `foreignMount` is a mount point in scope that is not the caller's (empty: none).
    static MountRequirement toUnmount(const MediumFacts& medium, const std::string& foreignMount);
    // `mountedNow`: anything of the disk is mounted; `lastMountTheirs`: the daemon's last mount
    // on this very medium was for the caller.
    static MountRequirement toEject(const MediumFacts& medium, const std::string& foreignMount, bool mountedNow,
                                    bool lastMountTheirs);

private:
    // What another's mounts on the medium, or taking it away, need.
    static DaemonAction mediumAction(const MediumFacts& medium);
};

}  // namespace harbormind
