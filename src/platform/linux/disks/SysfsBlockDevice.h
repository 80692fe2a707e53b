#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The bus a disk hangs on, as far as sysfs shows it.
enum class BlockBus { Unknown, Usb, FireWire, Sd, Sas, Sata, Nvme, Virtio, Scsi, Pci, Virtual };

// What sysfs says about one block device (a disk, a partition, a loop or a mapped device).
// Read fresh on each call; nothing here opens the device itself.
struct SysfsBlockDevice {
    std::string name;               // kernel name: sda1, nvme0n1p2, loop3, dm-0
    std::string sysPath;            // canonical folder under <root>/devices
    std::string devNumber;          // "major:minor"
    bool isPartition = false;
    std::string wholeDiskName;      // the disk a partition belongs to; the name itself otherwise
    std::int64_t sizeBytes = 0;
    bool removable = false;
    bool readOnly = false;
    bool hidden = false;
    std::optional<bool> rotational;
    std::optional<std::int64_t> partitionNumber;
    std::optional<std::int64_t> startSector;
    std::vector<std::string> holders;  // devices mapped on top of this one
    std::vector<std::string> slaves;   // devices this one is mapped on
    std::optional<std::string> loopBackingFile;
    std::optional<std::string> mapperName;
    std::optional<std::string> mapperUuid;
    // The hardware device under the disk (the target of its "device" link), whole disks only.
    std::optional<std::string> hardwarePath;
    std::string vendor;
    std::string model;
    std::string serial;
    BlockBus bus = BlockBus::Unknown;

    bool isLoop() const { return name.rfind("loop", 0) == 0; }
    bool isMapped() const { return mapperName.has_value() || name.rfind("dm-", 0) == 0; }

    // None when the device does not exist under <root>/class/block.
    static std::optional<SysfsBlockDevice> read(const std::string& sysfsRoot, const std::string& name);
    // True when the device has no medium (its size reads 0, as an unattached loop device's
    // does): such a device is no disk, and is not read whole.
    static bool isEmpty(const std::string& sysfsRoot, const std::string& name);
    // Every block device name sysfs lists, sorted so a disk comes before its partitions.
    static std::vector<std::string> list(const std::string& sysfsRoot);
    // The bus from the components of a hardware path.
    static BlockBus busOfPath(const std::string& hardwarePath);
};

}  // namespace harbormind
