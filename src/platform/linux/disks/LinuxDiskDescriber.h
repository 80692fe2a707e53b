#pragma once

#include <optional>
#include <string>

#include "platform/DiskDescription.h"
#include "platform/linux/disks/DescribePass.h"
#include "platform/linux/disks/LinuxPaths.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// Builds a disk's description dictionary from sysfs, the device's own signatures (libblkid)
// and the mount table, under the keys the drive model reads.
class LinuxDiskDescriber {
public:
    // The devices mapped on this one, comma-separated.
    static constexpr const char* holdersKey = "LinuxBlockHolders";

    explicit LinuxDiskDescriber(LinuxPaths paths) : paths_(std::move(paths)) {}

    // Reads sysfs; none when the device does not exist or is no disk (size 0, hidden).
    // `read` when it is a disk this system shows (present, not empty, not hidden).
    static std::optional<SysfsBlockDevice> shown(std::optional<SysfsBlockDevice> read);
    std::optional<SysfsBlockDevice> device(const std::string& name) const;
    // Probes the device's contents; with a pass, each disk's partition table is read once in it.
    VolumeFacts probe(const SysfsBlockDevice& device, DescribePass* pass = nullptr) const;
    // The device that carries the hardware facts: the disk of a partition, the disk under a
    // mapping (followed through "slaves"), or the device itself.
    SysfsBlockDevice carrier(const SysfsBlockDevice& device, DescribePass* pass = nullptr) const;

    DiskDescription describe(const SysfsBlockDevice& device, const VolumeFacts& facts, const MountTable& mounts,
                             double appearanceTime, DescribePass* pass = nullptr) const;

    std::string devicePath(const std::string& name) const { return paths_.devRoot + "/" + name; }

    static std::optional<std::string> protocolOf(BlockBus bus);
    static bool isInternal(const SysfsBlockDevice& carrier);
    static std::optional<std::string> volumeKindOf(const std::string& blkidType);
    static std::optional<std::string> mediaContentOf(const SysfsBlockDevice& device, const VolumeFacts& facts);

private:
    LinuxPaths paths_;
};

}  // namespace harbormind
