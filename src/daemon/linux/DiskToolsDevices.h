#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// What the disk tools need to know of a block device, from sysfs and the mount and swap
// tables: its disk, its partitions, its size, and why it may not be written over.
class DiskToolsDevices {
public:
    // `sysRoot` and `procRoot` are "/sys" and "/proc" except in tests; `home` is the caller's
    // home folder, whose volume is never erased.
    DiskToolsDevices(std::string sysRoot = "/sys", std::string procRoot = "/proc", std::string home = {});

    bool exists(const std::string& name) const;
    bool isPartition(const std::string& name) const;
    // The whole disk a device is on (itself for a whole disk).
    std::string diskOf(const std::string& name) const;
    std::int64_t partitionNumber(const std::string& name) const;
    std::vector<std::string> partitionsOf(const std::string& disk) const;
    std::int64_t sizeBytes(const std::string& name) const;
    std::int64_t logicalSectorSize(const std::string& disk) const;
    bool isLoop(const std::string& name) const;
    // Devices made by the kernel out of others (device-mapper, RAID, zram, RAM disks):
    // none has health of its own or a table to change.
    bool isVirtual(const std::string& name) const;

    // Why the device (for a disk, the disk or any partition of it) may not be written over:
    // "sdb1 is mounted at / (the running system)"; empty when nothing uses it.
    std::string whyInUse(const std::string& name) const;

private:
    std::string folderOf(const std::string& name) const;
    std::string read(const std::string& path) const;
    std::string whyOneInUse(const std::string& name) const;

    std::string sysRoot_;
    std::string procRoot_;
    std::string home_;
};

}  // namespace harbormind
