#pragma once

#include <string>

#include "daemon/linux/DiskToolRunner.h"
#include "daemon/linux/DiskToolsDevices.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// Reads a whole disk's health with `smartctl --json -a` and starts its self-tests. A device
// that cannot have health of its own (a disk image, a mapping, a RAM disk) is answered "not
// available" with the reason, without asking smartctl.
class DriveHealthReader {
public:
    DriveHealthReader(DiskToolRunner& runner, const DiskToolsDevices& devices) : runner_(runner), devices_(devices) {}

    XPCCodeAnswer health(const std::string& device);
    XPCCodeAnswer startSelfTest(const std::string& device, bool extended);

private:
    std::string whyNotAvailable(const std::string& disk) const;

    DiskToolRunner& runner_;
    const DiskToolsDevices& devices_;
};

}  // namespace harbormind
