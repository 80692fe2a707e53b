#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/disks/VolumeFacts.h"

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
    // The partition table of a whole disk; safe to ask from several threads.
    const BlkidProbe::Table& partitionTable(const std::string& diskName);

    using Prober = std::function<VolumeFacts(const SysfsBlockDevice&)>;
    // Probes the contents of every device given, a few at the same time (a probe mostly waits
    // for the device), so that facts() answers for them afterwards.
    void probeAll(const std::vector<SysfsBlockDevice>& devices, const Prober& probe);
    std::optional<VolumeFacts> facts(const std::string& name) const;

private:
    // Threads beside the caller's that probe at the same time.
    static constexpr std::size_t maximumHelpers = 3;

    std::string sysfsRoot_;
    std::string devRoot_;
    std::map<std::string, std::optional<SysfsBlockDevice>> devices_;
    mutable std::mutex mutex_;  // for the tables and facts, which probes fill in at the same time
    std::map<std::string, BlkidProbe::Table> tables_;
    std::map<std::string, VolumeFacts> facts_;
};

}  // namespace harbormind
