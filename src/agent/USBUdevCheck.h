#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace harbormind {

// Answers udev, before anything mounts a new block device, whether "USB Warden" would
// refuse it, so that udisks neither mounts it on its own nor offers it. It sees what udev
// gives a program: the device's environment and the sysfs tree.
//
// The blocker counts as on while the agent's start-up file is installed. Then an external
// USB disk (and each of its partitions) is refused unless its whole disk is on the white
// list: white-list-only refuses it for good, and the asking mode refuses it until the user
// allows it (the agent then mounts it itself). A lists file that cannot be read refuses.
class USBUdevCheck {
public:
    using Environment = std::map<std::string, std::string>;
    // A file's bytes, or none when it cannot be read.
    using ReadFile = std::function<std::optional<std::string>(const std::string& path)>;

    struct Inputs {
        Environment environment;
        bool blockerOn = false;
        // The lists file's bytes; none when it could not be read whole.
        std::optional<std::string> lists;
        ReadFile readFile;
        std::string sysRoot = "/sys";
    };

    static bool wouldRefuse(const Inputs& inputs);
    // What the program prints for udev's IMPORT{program}: the two properties when refused.
    static std::string answer(bool refused);
    // The whole disk's media name as the Linux platform describes it: sysfs vendor and
    // model of the whole disk, trimmed and joined by one space.
    static std::string mediaName(const Inputs& inputs);
};

}  // namespace harbormind
