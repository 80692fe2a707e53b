#include "daemon/MountRequirements.h"

namespace harbormind {

DaemonAction MountRequirements::mediumAction(const MediumFacts& medium) {
    if (medium.loop) {
        return medium.attachedByCaller ? DaemonAction::eject : DaemonAction::loopOthers;
    }
    return medium.removable ? DaemonAction::eject : DaemonAction::unmountOthers;
}

MountRequirement MountRequirements::toMount(const MediumFacts& medium, const std::string& name) {
    if (medium.loop) {
        if (medium.attachedByCaller) {
            return {{DaemonAction::mountRemovable}, "mounting disk images is not permitted"};
        }
        return {{DaemonAction::loopOthers}, name + " is a disk image you did not attach: using it needs an administrator"};
    }
    if (medium.internal) {
        return {{DaemonAction::mountSystem}, name + " is on an internal disk: mounting it needs an administrator"};
    }
    return {{DaemonAction::mountRemovable}, "mounting removable drives is not permitted"};
}

MountRequirement MountRequirements::toUnmount(const MediumFacts& medium, const std::string& foreignMount) {
    if (foreignMount.empty()) {
        return {};
    }
    return {{mediumAction(medium)}, foreignMount + " was not mounted for you"};
}

MountRequirement MountRequirements::toEject(const MediumFacts& medium, const std::string& foreignMount,
                                            bool mountedNow, bool lastMountTheirs) {
    DaemonAction action = mediumAction(medium);
    if (action == DaemonAction::loopOthers) {
        return {{action}, medium.disk + " is a disk image you did not attach: detaching it needs an administrator"};
    }
    if (action == DaemonAction::eject || (foreignMount.empty() && (mountedNow || lastMountTheirs))) {
        return {{DaemonAction::eject}, "ejecting " + medium.disk + " is not permitted"};
    }
    return {{DaemonAction::unmountOthers, DaemonAction::eject},
            (foreignMount.empty() ? medium.disk : foreignMount) + " was not mounted for you"};
}

}  // namespace harbormind
