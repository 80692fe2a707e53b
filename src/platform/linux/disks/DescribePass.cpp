#include "platform/linux/disks/DescribePass.h"

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
    auto it = tables_.find(diskName);
    if (it == tables_.end()) {
        it = tables_.emplace(diskName, BlkidProbe::partitionTable(devRoot_ + "/" + diskName)).first;
    }
    return it->second;
}

}  // namespace harbormind
