#include "platform/DeviceNaming.h"

#include <algorithm>

namespace harbormind {

DeviceNaming::ChildRelation DeviceNaming::relation(const std::string& parentName, const std::string& childName) const {
    std::string remainder = childName;
    if (!parentName.empty()) {
        for (auto at = remainder.find(parentName); at != std::string::npos; at = remainder.find(parentName)) {
            remainder.erase(at, parentName.size());
        }
    }
    return remainder.starts_with("s") ? ChildRelation::partition : ChildRelation::synthesizedDisk;
}

std::vector<std::string> DeviceNaming::systemMountPoints() const {
    return {"/"};
}

std::vector<std::string> DeviceNaming::dataMountPoints() const {
    return {"/System/Volumes/Data"};
}

bool DeviceNaming::isSystemMountPoint(const std::string& path) const {
    auto points = systemMountPoints();
    return std::find(points.begin(), points.end(), path) != points.end();
}

bool DeviceNaming::isDataMountPoint(const std::string& path) const {
    auto points = dataMountPoints();
    return std::find(points.begin(), points.end(), path) != points.end();
}

bool DeviceNaming::isProtectedMountPoint(const std::string& path) const {
    return isSystemMountPoint(path) || isDataMountPoint(path);
}

}  // namespace harbormind
