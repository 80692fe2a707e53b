#pragma once

#include <string>

#include "daemon/DeviceArgumentCheck.h"

namespace harbormind {

// The daemon's check of a device a caller names, on this machine. After the name's form
// (DeviceNameSyntax), the path is resolved; it must stay inside /dev, open with O_PATH, be a
// block device by fstat, and its major:minor must be a disk or partition the kernel lists in
// /sys/dev/block. A device to be written over must not be in use: neither it nor a partition
// of it mounted, used as swap, or held by another device (a mapper, a RAID). The answer is
// the kernel's own name ("sdb1") or its path ("/dev/sdb1"). Every backend that touches a
// device it was named goes through here.
class BlockDeviceCheck final : public DeviceArgumentCheck {
public:
    // `sysRoot` and `procRoot` are "/sys" and "/proc" except in tests.
    explicit BlockDeviceCheck(std::string sysRoot = "/sys", std::string procRoot = "/proc");

    std::optional<std::string> check(const std::string& argument, DeviceArgumentForm form, DeviceUse use) override;

private:
    bool inUse(const std::string& kernelName, unsigned major, unsigned minor) const;

    std::string sysRoot_;
    std::string procRoot_;
};

}  // namespace harbormind
