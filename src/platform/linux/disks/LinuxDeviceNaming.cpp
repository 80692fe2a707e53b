#include "platform/linux/disks/LinuxDeviceNaming.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace harbormind {
namespace fs = std::filesystem;

bool LinuxDeviceNaming::isPartitionName(const std::string& parentName, const std::string& childName) {
    if (parentName.empty() || childName.size() <= parentName.size() || childName.rfind(parentName, 0) != 0) {
        return false;
    }
    std::string rest = childName.substr(parentName.size());
    const bool parentEndsInDigit = std::isdigit(static_cast<unsigned char>(parentName.back())) != 0;
    if (parentEndsInDigit) {
        if (rest.size() < 2 || rest[0] != 'p') {
            return false;
        }
        rest.erase(0, 1);
    }
    return !rest.empty() &&
           std::all_of(rest.begin(), rest.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

DeviceNaming::ChildRelation LinuxDeviceNaming::relation(const std::string& parentName,
                                                        const std::string& childName) const {
    std::error_code error;
    fs::path child = fs::canonical(fs::path(sysfsRoot_) / "class" / "block" / childName, error);
    if (!error) {
        const bool partition = fs::exists(child / "partition", error) && child.parent_path().filename() == parentName;
        return partition ? ChildRelation::partition : ChildRelation::synthesizedDisk;
    }
    return isPartitionName(parentName, childName) ? ChildRelation::partition : ChildRelation::synthesizedDisk;
}

std::vector<std::string> LinuxDeviceNaming::systemMountPoints() const {
    return {"/"};
}

std::vector<std::string> LinuxDeviceNaming::dataMountPoints() const {
    return {"/boot", "/boot/efi", "/home", "/usr"};
}

}  // namespace harbormind
