#include "platform/linux/disks/DescribePass.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace harbormind {

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

const BlkidProbe::Table& DescribePass::partitionTable(const std::string& diskName) {
    {
        std::lock_guard lock(mutex_);
        if (auto it = tables_.find(diskName); it != tables_.end()) {
            return it->second;
        }
    }
    // Read outside the lock; when two threads read the same table, the first one kept wins.
    BlkidProbe::Table table = BlkidProbe::partitionTable(devRoot_ + "/" + diskName);
    std::lock_guard lock(mutex_);
    return tables_.emplace(diskName, std::move(table)).first->second;
}

void DescribePass::readOne(const std::string& name, const Prober& probe) {
    std::optional<SysfsBlockDevice> device;
    if (!SysfsBlockDevice::isEmpty(sysfsRoot_, name)) {
        device = SysfsBlockDevice::read(sysfsRoot_, name);
    }
    std::optional<VolumeFacts> found = device ? probe(*device) : std::nullopt;
    std::lock_guard lock(mutex_);
    devices_[name] = std::move(device);
    if (found) {
        facts_[name] = std::move(*found);
    }
}

void DescribePass::readAll(const std::vector<std::string>& names, const Prober& probe, std::size_t helpers) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < names.size(); i = next++) {
            readOne(names[i], probe);
        }
    };
    // Two threads a processor: most of a probe is waiting for the device to answer.
    const std::size_t processors = std::max(1U, std::thread::hardware_concurrency());
    const std::size_t started = std::min({names.size() / 4, processors * 2 - 1, helpers});
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < started; ++i) {
        threads.emplace_back(work);
    }
    work();
    for (auto& thread : threads) {
        thread.join();
    }
}

std::optional<VolumeFacts> DescribePass::facts(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = facts_.find(name);
    return it == facts_.end() ? std::nullopt : std::optional<VolumeFacts>(it->second);
}

}  // namespace harbormind
