#pragma once

#include <string>
#include <utility>

#include "FakeSysfs.h"
#include "platform/linux/disks/LinuxPaths.h"

namespace harbormind::test {

// A recorded machine: an internal NVMe disk with two partitions, the second carrying an
// unlocked LUKS mapping (dm-0); a USB stick with one partition; an attached loop image with
// one partition; and an unattached loop device.
inline constexpr const char* nvmeHardware = "pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0";
inline constexpr const char* usbDevice = "pci0000:00/0000:00:14.0/usb2/2-1";
inline constexpr const char* usbHardware = "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";

inline void buildMachine(FakeSysfs& sysfs) {
    sysfs.addDisk(nvmeHardware, "nvme0n1", "259:0", 1000215216);
    sysfs.setHardware(nvmeHardware, "model", "Samsung SSD 970 EVO");
    sysfs.setHardware(nvmeHardware, "serial", "S4EWNX0N123");
    sysfs.addPartition("nvme0n1", "nvme0n1p1", "259:1", 1, 2048, 1048576);
    sysfs.addPartition("nvme0n1", "nvme0n1p2", "259:2", 2, 1050624, 999164592);
    sysfs.addMapping("nvme0n1p2", "dm-0", "253:0", 999131824, "luks-1234", "CRYPT-LUKS2-1234-luks-1234");

    sysfs.addDisk(usbHardware, "sdb", "8:16", 60063744, {{"removable", "1"}, {"queue/rotational", "1"}});
    sysfs.setHardware(usbHardware, "vendor", "SanDisk ");
    sysfs.setHardware(usbHardware, "model", "Ultra           ");
    sysfs.setHardware(usbDevice, "idVendor", "0781");
    sysfs.setHardware(usbDevice, "serial", "4C530001");
    sysfs.setHardware(usbDevice, "uevent", "");
    sysfs.addPartition("sdb", "sdb1", "8:17", 1, 2048, 60061696);

    sysfs.addDisk("", "loop3", "7:3", 2097152, {{"loop/backing_file", "/home/ann/images/stick.img"}});
    sysfs.addPartition("loop3", "loop3p1", "259:8", 1, 2048, 2093056);
    sysfs.addDisk("", "loop0", "7:0", 0);
}

// The paths of a recorded machine, with kernel events ignored (a test sends its own).
inline LinuxPaths recordedMachinePaths(const FakeSysfs& sysfs, std::string mountHelper) {
    LinuxPaths paths;
    paths.sysfsRoot = sysfs.sysfsRoot();
    paths.devRoot = sysfs.devRoot();
    paths.mountInfo = sysfs.mountInfo();
    paths.mountHelper = std::move(mountHelper);
    paths.kernelEvents = KernelEvents::Ignore;
    return paths;
}

}  // namespace harbormind::test
