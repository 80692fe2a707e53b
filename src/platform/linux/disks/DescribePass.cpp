#include "platform/linux/disks/DescribePass.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace harbormind {

const std::optional<SysfsBlockDevice>& DescribePass::device(const std::string& name) {
    auto it = devices_.find(name);
    if (it == devices_.end()) {
        it = devices_.emplace(name, SysfsBlockDevice::read(sysfsRoot_, name)).first;
    }
    return it->second;
}

const std::optional<SysfsBlockDevice>& DescribePass::remember(const std::string& name,
                                                              std::optional<SysfsBlockDevice> device) {
    return devices_[name] = std::move(device);
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

void DescribePass::probeAll(const std::vector<SysfsBlockDevice>& devices, const Prober& probe) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < devices.size(); i = next++) {
            VolumeFacts found = probe(devices[i]);
            std::lock_guard lock(mutex_);
            facts_[devices[i].name] = std::move(found);
        }
    };
    const std::size_t helpers = std::min<std::size_t>(
        {devices.size() / 2, std::max(1U, std::thread::hardware_concurrency()) - 1, maximumHelpers});
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < helpers; ++i) {
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
