#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// What the kernel's sysfs says about a block device and the disk it is on, by kernel name:
// its partitions, what is mapped on it, whether it is removable or part of the computer.
class BlockDeviceTree {
public:
    // The device's folder in sysfs.
    static std::string folderOf(const std::string& name);
    // The first line of one of the device's sysfs files ("removable", "dm/uuid").
    static std::optional<std::string> attribute(const std::string& name, const std::string& file);
    // "major:minor", empty when the kernel does not know the device.
    static std::string devNumberOf(const std::string& name);
    static bool isPartition(const std::string& name);

    // The device (with `wholeDisk`: its disk and every partition of it), each preceded by
    // whatever is mapped on it (an unlocked LUKS volume), so unmounting in this order frees all.
    static std::vector<std::string> devicesOf(const std::string& name, bool wholeDisk);
    // The whole disk a device is on (itself for a whole disk).
    static std::string diskOf(const std::string& name);
    static bool isRemovable(const std::string& name);
    // Whether the device's disk is part of the computer (not USB, FireWire, a card or an image).
    static bool isInternal(const std::string& name);
    // The disk and the kernel's sequence number of its present medium ("loop3#1866").
    static std::string mediaSequenceOf(const std::string& name);
};

}  // namespace harbormind
