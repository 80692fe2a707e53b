#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "engines/clone/CloneStorageExtent.h"

namespace harbormind::clone {

// What the kernel (sysfs, /proc) and udev know about a block device, by device number.
class CloneSysfs {
public:
    explicit CloneSysfs(std::string sysRoot = "/sys", std::string udevData = "/run/udev/data",
                        std::string mountInfo = "/proc/self/mountinfo", std::string swaps = "/proc/swaps");

    // The kernel's name, such as "sdb" or "loop3".
    std::optional<std::string> name(dev_t device) const;
    // The whole disk a partition belongs to; the device itself when it is no partition.
    dev_t wholeDisk(dev_t device) const;
    // The device and its partitions.
    std::vector<dev_t> deviceAndPartitions(dev_t device) const;
    // A mount of the running system: the kernel's name of the mounted device (the device
    // itself or one of its partitions) and where it is mounted.
    struct Mount {
        std::string volume;
        std::string mountPoint;
    };
    // A mount of the running system on the device or one of its partitions, if any.
    std::optional<Mount> mountedOn(dev_t device) const;
    // The same, for mounts that can be written to.
    std::optional<Mount> mountedWritableOn(dev_t device) const;
    bool usedAsSwap(dev_t device) const;
    // An identity that writing to the device cannot change: a loop device's backing file, a
    // device-mapper UUID, the WWN or serial number of the hardware. A partition adds its number.
    std::optional<std::string> stableIdentity(dev_t device) const;
    // The attached whole disk or partition whose stable identity is `identity`.
    std::optional<std::string> nameWithIdentity(const std::string& identity) const;
    // Where the device's bytes are stored: through partitions, loop devices (their backing
    // file or device, at their offset) and device-mapper or RAID devices down to whole disks
    // and files. Two devices whose extents overlap write into each other.
    std::vector<CloneStorageExtent> storageOf(dev_t device) const;

private:
    std::string folder(dev_t device) const;
    std::optional<std::string> attribute(const std::string& path) const;
    std::optional<std::string> udevProperty(dev_t device, const std::string& key) const;
    std::optional<std::string> diskIdentity(dev_t disk) const;
    std::optional<Mount> findMount(dev_t device, bool writableOnly) const;
    std::vector<CloneStorageExtent> storageOf(dev_t device, int depth) const;
    std::vector<CloneStorageExtent> loopStorage(const std::string& folder, std::uint64_t size, int depth) const;

    std::string sysRoot_;
    std::string udevData_;
    std::string mountInfo_;
    std::string swaps_;
};

}  // namespace harbormind::clone
