#pragma once

#include <string>

#include "platform/DeviceNaming.h"

namespace harbormind {

// Linux kernel names do not mark partitions with "s": sda1, nvme0n1p2, mmcblk0p1, loop3p1.
// A child is a partition of its parent when sysfs says so (its folder holds a "partition"
// file and sits in the parent's folder), or, for a device already gone, when its name is
// the parent's followed by a number (with "p" after a parent ending in a digit). Anything
// else found above a partition (a dm-crypt or loop mapping) is a disk synthesized on it.
class LinuxDeviceNaming final : public DeviceNaming {
public:
    explicit LinuxDeviceNaming(std::string sysfsRoot) : sysfsRoot_(std::move(sysfsRoot)) {}

    ChildRelation relation(const std::string& parentName, const std::string& childName) const override;
    // The root file system.
    std::vector<std::string> systemMountPoints() const override;
    // The volumes holding the system's other parts and the users' homes.
    std::vector<std::string> dataMountPoints() const override;

    static bool isPartitionName(const std::string& parentName, const std::string& childName);

private:
    std::string sysfsRoot_;
};

}  // namespace harbormind
