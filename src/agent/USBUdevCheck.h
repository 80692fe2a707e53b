#pragma once

#include <map>
#include <optional>
#include <string>

#include "usbblocker/USBLists.h"

namespace harbormind {

// Answers udev, before anything mounts a new block device, whether "USB Warden" would
// refuse it, so that udisks neither mounts it on its own nor offers it. It sees what udev
// gives a program: the device's environment; the program adds the Warden's state, the lists
// and the disk's name as the platform reads them.
//
// While the Warden is on (as the daemon's state file says) an external USB disk (and each of
// its partitions) is refused unless its whole disk is on the white list: white-list-only
// refuses it for good, and the asking mode refuses it until the user allows it (the agent
// then mounts it itself). Lists that cannot be read refuse.
class USBUdevCheck {
public:
    using Environment = std::map<std::string, std::string>;

    struct Inputs {
        Environment environment;
        bool blockerOn = false;
        // Both lists, the administrator's merged in; none when they could not be read whole.
        std::optional<USBLists> lists;
        // The whole disk's media name, as the platform names it; none when it cannot be read.
        std::optional<std::string> mediaName;
    };

    static bool wouldRefuse(const Inputs& inputs);
    // What the program prints for udev's IMPORT{program}: the two properties when refused.
    static std::string answer(bool refused);
};

}  // namespace harbormind
