#include "platform/linux/disks/LinuxDiskDescriber.h"

#include <array>
#include <string_view>
#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/DiskDescriptionKey.h"
#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/LinuxBlockerDisk.h"
#include "platform/linux/disks/UnreadableNodeFacts.h"

namespace harbormind {
namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The partition content names of MBR type bytes that the drive model and people know.
std::string mbrContent(const std::string& entryType) {
    static const std::map<std::string, std::string> names = {
        {"0x1", "DOS_FAT_12"},      {"0x4", "DOS_FAT_16_S"},   {"0x6", "DOS_FAT_16"},
        {"0x7", "Windows_NTFS"},    {"0xb", "DOS_FAT_32"},     {"0xc", "Windows_FAT_32"},
        {"0xe", "Windows_FAT_16"},  {"0x82", "Linux_Swap"},    {"0x83", "Linux"},
        {"0x8e", "Linux_LVM"},      {"0xaf", "Apple_HFS"},     {"0xef", "EFI"},
        {"0xfd", "Linux_RAID"},
    };
    std::string key = lower(entryType);
    auto it = names.find(key);
    return it != names.end() ? it->second : key;
}

}  // namespace

std::optional<SysfsBlockDevice> LinuxDiskDescriber::shown(std::optional<SysfsBlockDevice> read) {
    if (!read || read->sizeBytes <= 0 || read->hidden) {
        return std::nullopt;
    }
    return read;
}

std::optional<SysfsBlockDevice> LinuxDiskDescriber::device(const std::string& name) const {
    return shown(SysfsBlockDevice::read(paths_.sysfsRoot, name));
}

VolumeFacts LinuxDiskDescriber::probe(const SysfsBlockDevice& device, DescribePass* pass) const {
    if (auto recorded = UnreadableNodeFacts::of(devicePath(device.name), device.devNumber, paths_.udevDataRoot)) {
        return *recorded;
    }
    // The node the pass keeps open for this device, read ahead; -1 opens it here.
    const int node = pass != nullptr ? pass->node(device.name) : -1;
    auto tableOf = [&](const std::string& disk, int diskNode) {
        return pass != nullptr ? pass->partitionTable(disk, diskNode)
                               : BlkidProbe::partitionTable(devicePath(disk), diskNode);
    };
    if (!device.isPartition) {
        return BlkidProbe::probeDisk(devicePath(device.name), tableOf(device.name, node), node);
    }
    VolumeFacts facts = BlkidProbe::probe(devicePath(device.name), ProbeTable::Skip, node);
    if (device.partitionNumber) {
        const BlkidProbe::Table table = tableOf(device.wholeDiskName, -1);
        for (const auto& entry : table.entries) {
            if (entry.number == *device.partitionNumber) {
                facts.entryScheme = table.scheme;
                facts.entryType = entry.type;
                facts.entryUuid = entry.uuid;
                facts.entryName = entry.name;
            }
        }
    }
    return facts;
}

SysfsBlockDevice LinuxDiskDescriber::carrier(const SysfsBlockDevice& device, DescribePass* pass) const {
    SysfsBlockDevice current = device;
    // A mapping can stack (a LUKS mapping on an LVM volume); the depth limit guards a loop.
    for (int depth = 0; depth < 8; ++depth) {
        std::optional<std::string> below;
        if (current.isPartition) {
            below = current.wholeDiskName;
        } else if (!current.slaves.empty()) {
            below = current.slaves.front();
        }
        std::optional<SysfsBlockDevice> next;
        if (below) {
            next = pass != nullptr ? pass->device(*below) : SysfsBlockDevice::read(paths_.sysfsRoot, *below);
        }
        if (!next) {
            break;
        }
        current = std::move(*next);
    }
    return current;
}

std::optional<std::string> LinuxDiskDescriber::protocolOf(BlockBus bus) {
    switch (bus) {
        case BlockBus::Usb: return "USB";
        case BlockBus::FireWire: return "FIREWIRE";
        case BlockBus::Sd: return "SECURE DIGITAL";
        case BlockBus::Sas: return "SAS";
        case BlockBus::Sata: return "SATA";
        case BlockBus::Nvme: return "PCI-EXPRESS";
        case BlockBus::Virtio: return "VIRTIO";
        case BlockBus::Scsi: return "SCSI";
        case BlockBus::Pci: return "PCI";
        case BlockBus::Virtual: return "VIRTUAL INTERFACE";
        case BlockBus::Unknown: break;
    }
    return std::nullopt;
}

bool LinuxDiskDescriber::isInternal(const SysfsBlockDevice& carrier) {
    switch (carrier.bus) {
        case BlockBus::Usb:
        case BlockBus::FireWire:
        case BlockBus::Sd:
            return false;
        case BlockBus::Virtual:
            // Loop images are disk images; other virtual disks (zram) are the machine's own.
            return !carrier.isLoop();
        default:
            return !carrier.removable;
    }
}

std::optional<std::string> LinuxDiskDescriber::volumeKindOf(const std::string& blkidType) {
    // A constant table with nothing to destroy: a watcher thread may still describe a disk
    // while the process exits and static objects are torn down.
    struct KindName {
        std::string_view blkidType;
        std::string_view kind;
    };
    static constexpr std::array<KindName, 9> kinds{{
        {"vfat", "msdos"}, {"msdos", "msdos"}, {"exfat", "exfat"}, {"ntfs", "ntfs"},
        {"hfsplus", "hfs"}, {"hfs", "hfs"},   {"apfs", "apfs"},   {"crypto_LUKS", "luks"},
        {"BitLocker", "bitlocker"},
    }};
    if (blkidType.empty()) {
        return std::nullopt;
    }
    for (const KindName& entry : kinds) {
        if (entry.blkidType == blkidType) {
            return std::string(entry.kind);
        }
    }
    return lower(blkidType);
}

std::optional<std::string> LinuxDiskDescriber::mediaContentOf(const SysfsBlockDevice& device,
                                                              const VolumeFacts& facts) {
    if (!device.isPartition) {
        if (!facts.tableType) {
            return std::nullopt;
        }
        // A whole-disk FAT or exFAT file system carries a boot signature that reads as an
        // MBR; with a file system found on the disk itself, there is no partition table.
        if (*facts.tableType == "dos" && facts.type) {
            return std::nullopt;
        }
        if (*facts.tableType == "gpt") {
            return "GUID_partition_scheme";
        }
        if (*facts.tableType == "dos") {
            return "FDisk_partition_scheme";
        }
        if (*facts.tableType == "mac") {
            return "Apple_partition_scheme";
        }
        return *facts.tableType;
    }
    if (!facts.entryType) {
        return std::nullopt;
    }
    if (facts.entryScheme && *facts.entryScheme == "dos") {
        return mbrContent(*facts.entryType);
    }
    return upper(*facts.entryType);
}

DiskDescription LinuxDiskDescriber::describe(const SysfsBlockDevice& device, const VolumeFacts& facts,
                                             const MountTable& mounts, double appearanceTime,
                                             DescribePass* pass) const {
    using Key = DiskDescriptionKey;
    const SysfsBlockDevice hardware = carrier(device, pass);
    const bool internal = isInternal(hardware);

    PlatformValue::Dictionary values;
    values[Key::mediaBSDName] = device.name;
    values[Key::mediaSize] = std::int64_t{device.sizeBytes};
    values[Key::mediaWhole] = !device.isPartition;
    values[Key::mediaRemovable] = hardware.removable;
    values[Key::mediaEjectable] = hardware.removable || !internal;
    values[Key::deviceInternal] = internal;
    values[Key::appearanceTime] = appearanceTime;
    values[Key::volumeNetwork] = false;
    if (auto protocol = protocolOf(hardware.bus)) {
        values[Key::deviceProtocol] = *protocol;
    }
    if (!hardware.vendor.empty()) {
        values[Key::deviceVendor] = hardware.vendor;
    }
    if (!hardware.model.empty()) {
        values[Key::deviceModel] = hardware.model;
    }
    if (hardware.hardwarePath) {
        std::string relative = hardware.hardwarePath->substr(
            std::min(hardware.hardwarePath->size(), paths_.sysfsRoot.size()));
        values[Key::busPath] = relative;
        std::filesystem::path parts(relative);
        auto it = parts.begin();
        while (it != parts.end() && (it->string() == "/" || it->string() == "devices")) {
            ++it;
        }
        if (it != parts.end()) {
            values[Key::busName] = it->string();
        }
    }

    std::string mediaName;
    if (device.isPartition) {
        mediaName = facts.entryName.value_or("");
    } else {
        mediaName = LinuxBlockerDisk::mediaNameOf(device);
    }
    if (!mediaName.empty()) {
        values[Key::mediaName] = mediaName;
    }
    if (auto content = mediaContentOf(device, facts)) {
        values[Key::mediaContent] = *content;
    }
    if (device.isPartition && facts.entryUuid) {
        values[Key::mediaUUID] = upper(*facts.entryUuid);
    } else if (!device.isPartition && facts.tableUuid && values.count(Key::mediaContent) != 0) {
        values[Key::mediaUUID] = upper(*facts.tableUuid);
    }

    const bool encrypted = facts.type && (*facts.type == "crypto_LUKS" || *facts.type == "BitLocker");
    values[Key::mediaEncrypted] = encrypted;
    // A partitioned disk has no volume of its own, whatever signature is left on it.
    const bool hasVolume = facts.type && (device.isPartition || values.count(Key::mediaContent) == 0);
    if (hasVolume) {
        values[Key::volumeType] = *facts.type;
        if (auto kind = volumeKindOf(*facts.type)) {
            values[Key::volumeKind] = *kind;
        }
        if (facts.label) {
            values[Key::volumeName] = *facts.label;
        }
        if (facts.uuid) {
            values[Key::volumeUUID] = upper(*facts.uuid);
        }
    }
    // A device whose signatures could not be read (no right to open it, as for an ordinary
    // user and the system disk) still has the type it is mounted with.
    if (!facts.type) {
        for (const auto& entry : mounts.entries()) {
            const bool same = entry.devNumber == device.devNumber || entry.source == devicePath(device.name);
            if (same && !entry.fsType.empty() && !entry.fsType.starts_with("fuse")) {
                values[Key::volumeType] = entry.fsType;
                if (auto kind = volumeKindOf(entry.fsType)) {
                    values[Key::volumeKind] = *kind;
                }
                break;
            }
        }
    }
    // Not a key of the other platform: what is mapped on the device (an unlocked LUKS volume's
    // dm-crypt disk), so that mapping and unmapping change the description.
    if (!device.holders.empty()) {
        std::string holders;
        for (const auto& holder : device.holders) {
            holders += (holders.empty() ? "" : ",") + holder;
        }
        values[holdersKey] = holders;
    }
    if (auto mountPoint = mounts.mountPointOf(device.devNumber, devicePath(device.name))) {
        values[Key::volumePath] = *mountPoint;
    }
    return DiskDescription(std::move(values));
}

}  // namespace harbormind
