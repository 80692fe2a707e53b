#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/DeviceRegistry.h"
#include "platform/linux/disks/LinuxPaths.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// The device registry read from sysfs. Every block device is an entry ("media"); a whole
// disk hangs below a driver entry of its own, which hangs below the hardware that carries
// it, up to the root of /sys/devices. A partition hangs below its disk; a mapped device
// (dm-crypt, md) hangs below the device it is mapped on, like a disk synthesized on a
// physical store. Entry handles stay valid for the life of the registry. A registry for a
// look taken once (DiskWatch::Once) lists each entry's children once; one that follows the
// machine reads them anew on every call.
class LinuxDeviceRegistry final : public DeviceRegistry {
public:
    using Prober = std::function<VolumeFacts(const SysfsBlockDevice&)>;
    // A block device's sysfs facts by kernel name; none: read from sysfs on every call.
    using Reader = std::function<std::optional<SysfsBlockDevice>(const std::string& name)>;

    LinuxDeviceRegistry(LinuxPaths paths, Prober prober, Reader reader = nullptr);

    // The media entry of a block device; none when sysfs does not have it.
    std::optional<RegistryEntryId> entryForName(const std::string& bsdName);

    // Accepts a kernel name, "/dev/NAME" or a sysfs folder.
    std::optional<RegistryEntryId> entryFromPath(const std::string& registryPath) override;
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry) override;
    std::vector<RegistryEntryId> childEntries(RegistryEntryId entry) override;
    std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key) override;

private:
    enum class Kind { Media, Driver, Hardware };
    struct Entry {
        Kind kind;
        std::string path;   // the sysfs folder (of the disk, for a driver entry)
    };

    RegistryEntryId idFor(Kind kind, const std::string& path);
    std::optional<Entry> entry(RegistryEntryId id);
    std::vector<RegistryEntryId> readChildEntries(RegistryEntryId id);
    std::optional<SysfsBlockDevice> blockDevice(const std::string& folder);
    std::optional<SysfsBlockDevice> readDevice(const std::string& name);
    std::optional<PlatformValue> mediaProperty(const std::string& folder, const std::string& key);
    std::optional<PlatformValue> driverProperty(const std::string& folder, const std::string& key);
    std::optional<PlatformValue> hardwareProperty(const std::string& folder, const std::string& key);

    LinuxPaths paths_;
    Prober prober_;
    Reader reader_;
    std::mutex mutex_;
    std::map<std::pair<Kind, std::string>, RegistryEntryId> ids_;
    std::map<RegistryEntryId, Entry> entries_;
    std::map<RegistryEntryId, std::vector<RegistryEntryId>> children_;  // looking once only
    RegistryEntryId nextId_ = 1;
};

}  // namespace harbormind
