#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The logical volume groups that the volume tool lists, parsed from its property-list output
// (XML or binary). Damaged or unexpected input gives no groups, never a crash.
class DMCoreStorageList {
public:
    struct Group {
        std::string uuid;
        std::vector<std::string> physicalVolumes;
        // The logical volumes of every family of the group, in order.
        std::vector<std::string> logicalVolumes;
    };

    static DMCoreStorageList parse(const std::string& propertyList);

    const std::vector<Group>& groups() const { return groups_; }
    const Group* groupWithPhysicalVolume(const std::string& uuid) const;
    bool hasLogicalVolume(const std::string& uuid) const;

private:
    std::vector<Group> groups_;
};

}  // namespace harbormind
