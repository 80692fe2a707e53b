#include "platform/linux/disks/LinuxBlockerDisk.h"

#include <filesystem>
#include <fstream>

#include "platform/linux/disks/LinuxDiskDescriber.h"

namespace harbormind {

std::string LinuxBlockerDisk::mediaNameOf(const SysfsBlockDevice& wholeDisk) {
    if (wholeDisk.mapperName) {
        return *wholeDisk.mapperName;
    }
    if (wholeDisk.loopBackingFile) {
        return std::filesystem::path(*wholeDisk.loopBackingFile).filename().string();
    }
    if (wholeDisk.vendor.empty() || wholeDisk.model.empty()) {
        std::string name = wholeDisk.vendor + wholeDisk.model;
        return name.empty() && wholeDisk.bus == BlockBus::Virtio ? "Virtio Block Device" : name;
    }
    return wholeDisk.vendor + " " + wholeDisk.model;
}

std::optional<LinuxBlockerDisk> LinuxBlockerDisk::read(const LinuxPaths& paths, const std::string& name) {
    LinuxDiskDescriber describer(paths);
    std::optional<SysfsBlockDevice> device = describer.device(name);
    if (!device) {
        return std::nullopt;
    }
    std::optional<SysfsBlockDevice> whole =
        device->isPartition ? describer.device(device->wholeDiskName) : device;
    if (!whole) {
        return std::nullopt;
    }
    SysfsBlockDevice hardware = describer.carrier(*device);
    LinuxBlockerDisk disk;
    disk.name = name;
    disk.wholeDisk = whole->name;
    disk.mediaName = mediaNameOf(*whole);
    disk.imageFile = whole->loopBackingFile;
    std::string sequence;
    std::ifstream(paths.sysfsRoot + "/class/block/" + whole->name + "/diskseq") >> sequence;
    disk.medium = whole->name + "#" + sequence;
    disk.protocol = LinuxDiskDescriber::protocolOf(hardware.bus);
    disk.internal = LinuxDiskDescriber::isInternal(hardware);
    return disk;
}

}  // namespace harbormind
