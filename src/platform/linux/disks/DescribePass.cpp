#include "platform/linux/disks/DescribePass.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace harbormind {
namespace {

// Runs `work` for each index below `count`, on the caller's thread and up to `helpers` others.
void forEachIndex(std::size_t count, std::size_t helpers, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
        }
    };
    // Two threads a processor: most of a probe is waiting for the device to answer.
    const std::size_t processors = std::max(1U, std::thread::hardware_concurrency());
    const std::size_t started = std::min({count / 4, processors * 2 - 1, helpers});
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < started; ++i) {
        threads.emplace_back(run);
    }
    run();
    for (auto& thread : threads) {
        thread.join();
    }
}

// Optical and floppy drives: a disc's last sectors may not be readable at all (a CD's
// run-out), so their probe is left to read only what it asks for.
bool isRemovableMediumDrive(const SysfsBlockDevice& device) {
    return device.devNumber.starts_with("11:") || device.devNumber.starts_with("2:");
}

}  // namespace

const std::optional<SysfsBlockDevice>& DescribePass::device(const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        if (auto it = devices_.find(name); it != devices_.end()) {
            return it->second;
        }
    }
    auto read = SysfsBlockDevice::read(sysfsRoot_, name);
    std::lock_guard lock(mutex_);
    return devices_.emplace(name, std::move(read)).first->second;
}

void DescribePass::remember(const std::string& name, std::optional<SysfsBlockDevice> device) {
    std::lock_guard lock(mutex_);
    devices_[name] = std::move(device);
}

const BlkidProbe::Table& DescribePass::partitionTable(const std::string& diskName, int node) {
    {
        std::lock_guard lock(mutex_);
        if (auto it = tables_.find(diskName); it != tables_.end()) {
            return it->second;
        }
    }
    // Read outside the lock; when two threads read the same table, the first one kept wins.
    BlkidProbe::Table table = BlkidProbe::partitionTable(devRoot_ + "/" + diskName, node);
    std::lock_guard lock(mutex_);
    return tables_.emplace(diskName, std::move(table)).first->second;
}

void DescribePass::readOne(const std::string& name) {
    std::optional<SysfsBlockDevice> device;
    if (!SysfsBlockDevice::isEmpty(sysfsRoot_, name)) {
        device = SysfsBlockDevice::read(sysfsRoot_, name);
    }
    std::lock_guard lock(mutex_);
    if (device && device->isPartition) {
        partitioned_.insert(device->wholeDiskName);
    }
    devices_[name] = std::move(device);
}

std::optional<DeviceReadAhead::Areas> DescribePass::readAheadAreas(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(name);
    if (it == devices_.end() || !it->second) {
        return std::nullopt;
    }
    const SysfsBlockDevice& device = *it->second;
    if (device.sizeBytes <= 0 || device.hidden || isRemovableMediumDrive(device)) {
        return std::nullopt;
    }
    // A disk with partitions has only its table read; the kernel found the table already.
    if (!device.isPartition && partitioned_.count(name) != 0) {
        return DeviceReadAhead::Areas::Table;
    }
    return DeviceReadAhead::Areas::Signatures;
}

void DescribePass::readAheadUntil(const std::vector<std::string>& names, std::size_t end) {
    std::lock_guard lock(readAheadMutex_);
    for (; readAheadEnd_ < std::min(end, names.size()); ++readAheadEnd_) {
        const std::string& name = names[readAheadEnd_];
        if (auto areas = readAheadAreas(name)) {
            readAhead_.start(name, devRoot_ + "/" + name, device(name)->sizeBytes, *areas);
        }
    }
}

void DescribePass::probeOne(const std::string& name, const Prober& probe) {
    std::optional<SysfsBlockDevice> device = this->device(name);
    std::optional<VolumeFacts> found = device ? probe(*device) : std::nullopt;
    readAhead_.release(name);
    if (found) {
        std::lock_guard lock(mutex_);
        facts_[name] = std::move(*found);
    }
}

void DescribePass::readAll(const std::vector<std::string>& names, const Prober& probe, std::size_t helpers) {
    // Every device's sysfs facts first: they tell which devices are probed, and how.
    forEachIndex(names.size(), helpers, [&](std::size_t i) { readOne(names[i]); });
    forEachIndex(names.size(), helpers, [&](std::size_t i) {
        readAheadUntil(names, i + readAheadDevices);
        probeOne(names[i], probe);
    });
}

std::optional<VolumeFacts> DescribePass::facts(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = facts_.find(name);
    return it == facts_.end() ? std::nullopt : std::optional<VolumeFacts>(it->second);
}

}  // namespace harbormind
