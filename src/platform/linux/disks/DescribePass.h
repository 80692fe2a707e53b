#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/DeviceReadAhead.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// What one look at the machine (a rescan, or a device and its partitions after a kernel event)
// reads once and shares: each device's sysfs facts, each disk's partition table and, in a
// rescan, each disk's contents. It lives for that look only, so whatever changes afterwards
// is read again by the next one.
class DescribePass {
public:
    DescribePass(std::string sysfsRoot, std::string devRoot)
        : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

    // The device as read in this pass (read now when it was not).
    const std::optional<SysfsBlockDevice>& device(const std::string& name);
    // Keeps a device read fresh, for what this pass reads after it.
    void remember(const std::string& name, std::optional<SysfsBlockDevice> device);
    // The partition table of a whole disk; safe to ask from several threads. `node` is the
    // disk's node open by the thread that asks (-1: none).
    const BlkidProbe::Table& partitionTable(const std::string& diskName, int node = -1);
    // The device's node, opened by readAll and kept open while the device is probed; -1 when
    // none is (the probe opens it itself). Only the thread that probes the device uses it.
    int node(const std::string& name) const { return readAhead_.node(name); }

    // Facts of a device's contents; none for a device that is not probed (no disk).
    using Prober = std::function<std::optional<VolumeFacts>(const SysfsBlockDevice&)>;
    // Threads beside the caller's that read at the same time, at most.
    static constexpr std::size_t maximumHelpers = 3;

    // Reads every named device, then probes their contents, a few devices at the same time (a
    // probe mostly waits for the device), or all on the caller's thread with no helpers. Before
    // a device is probed, the kernel has been asked to read what the probe looks at on it and
    // on the next few devices, so that their reads overlap. A device without medium (size 0)
    // is not read whole.
    void readAll(const std::vector<std::string>& names, const Prober& probe, std::size_t helpers = maximumHelpers);
    // How many devices ahead of the one probed are being read.
    static constexpr std::size_t readAheadDevices = 32;
    // What readAll found in the device's contents.
    std::optional<VolumeFacts> facts(const std::string& name) const;

private:
    void readOne(const std::string& name);
    void probeOne(const std::string& name, const Prober& probe);
    // Starts reading ahead on the devices of `names` up to (not including) `end`.
    void readAheadUntil(const std::vector<std::string>& names, std::size_t end);
    std::optional<DeviceReadAhead::Areas> readAheadAreas(const std::string& name);

    std::string sysfsRoot_;
    std::string devRoot_;
    mutable std::mutex mutex_;  // readAll fills the maps from several threads
    std::map<std::string, std::optional<SysfsBlockDevice>> devices_;
    std::map<std::string, BlkidProbe::Table> tables_;
    std::map<std::string, VolumeFacts> facts_;
    // Whole disks with partitions among the devices readAll read: only their table is read.
    std::set<std::string> partitioned_;
    std::mutex readAheadMutex_;  // one thread at a time starts the next devices' reads
    std::size_t readAheadEnd_ = 0;
    DeviceReadAhead readAhead_;
};

}  // namespace harbormind
