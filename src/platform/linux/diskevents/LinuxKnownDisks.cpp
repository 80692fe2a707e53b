#include "platform/linux/diskevents/LinuxKnownDisks.h"

#include <algorithm>

namespace harbormind {

std::optional<KnownDisk> LinuxKnownDisks::find(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(name);
    return it == disks_.end() ? std::nullopt : std::optional<KnownDisk>(it->second);
}

std::optional<SysfsBlockDevice> LinuxKnownDisks::device(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(name);
    return it == disks_.end() ? std::nullopt : std::optional<SysfsBlockDevice>(it->second.device);
}

std::optional<VolumeFacts> LinuxKnownDisks::facts(const SysfsBlockDevice& device) const {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(device.name);
    if (it == disks_.end() || it->second.device.sysPath != device.sysPath) {
        return std::nullopt;
    }
    return it->second.facts;
}

void LinuxKnownDisks::keep(const std::string& name, KnownDisk disk) {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(name);
    disk.sequence = it != disks_.end() ? it->second.sequence : nextSequence_++;
    disks_[name] = std::move(disk);
}

void LinuxKnownDisks::setDescription(const std::string& name, const DiskDescription& description) {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(name);
    if (it != disks_.end()) {
        it->second.description = description;
    }
}

std::optional<std::vector<std::string>> LinuxKnownDisks::forget(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(name);
    if (it == disks_.end()) {
        return std::nullopt;
    }
    std::vector<std::string> below = std::move(it->second.device.slaves);
    disks_.erase(it);
    return below;
}

std::vector<std::string> LinuxKnownDisks::orderedNames() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<std::uint64_t, std::string>> order;
    for (const auto& [name, disk] : disks_) {
        order.emplace_back(disk.sequence, name);
    }
    std::sort(order.begin(), order.end());
    std::vector<std::string> names;
    for (auto& entry : order) {
        names.push_back(std::move(entry.second));
    }
    return names;
}

std::vector<std::pair<std::string, KnownDisk>> LinuxKnownDisks::all() const {
    std::lock_guard lock(mutex_);
    return {disks_.begin(), disks_.end()};
}

std::vector<std::string> LinuxKnownDisks::partitionsOf(const std::string& diskName) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> partitions;
    for (const auto& [name, disk] : disks_) {
        if (name != diskName && disk.device.isPartition && disk.device.wholeDiskName == diskName) {
            partitions.push_back(name);
        }
    }
    return partitions;
}

std::vector<std::string> LinuxKnownDisks::namesOutside(const std::set<std::string>& present) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> outside;
    for (const auto& [name, disk] : disks_) {
        if (present.count(name) == 0) {
            outside.push_back(name);
        }
    }
    return outside;
}

std::optional<std::string> LinuxKnownDisks::firstName(
    const std::function<bool(const std::string&, const KnownDisk&)>& matches) const {
    std::lock_guard lock(mutex_);
    for (const auto& [name, disk] : disks_) {
        if (matches(name, disk)) {
            return name;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
