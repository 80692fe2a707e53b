#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/SysfsBlockDevice.h"

namespace harbormind {

// What one look at the machine (a rescan, or a device and its partitions after a kernel event)
// reads once and shares: each device's sysfs facts and each disk's partition table. It lives
// for that look only, so whatever changes afterwards is read again by the next one.
class DescribePass {
public:
    DescribePass(std::string sysfsRoot, std::string devRoot)
        : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

    // The device as read in this pass (read now when it was not).
    const std::optional<SysfsBlockDevice>& device(const std::string& name);
    // Keeps a device read fresh, for what this pass reads after it.
    const std::optional<SysfsBlockDevice>& remember(const std::string& name, std::optional<SysfsBlockDevice> device);
    // The partition table of a whole disk.
    const BlkidProbe::Table& partitionTable(const std::string& diskName);

private:
    std::string sysfsRoot_;
    std::string devRoot_;
    std::map<std::string, std::optional<SysfsBlockDevice>> devices_;
    std::map<std::string, BlkidProbe::Table> tables_;
};

}  // namespace harbormind
