#include "drivemodel/DMCoreStorageList.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace harbormind {
namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::optional<std::string> stringValue(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    // By pointer and length: the library's copying getter aborts the process on a string
    // that holds a NUL.
    std::uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    if (!value) {
        return std::nullopt;
    }
    return std::string(value, static_cast<std::size_t>(length));
}

plist_t dictItem(plist_t node, const char* key) {
    if (!node || plist_get_node_type(node) != PLIST_DICT) {
        return nullptr;
    }
    return plist_dict_get_item(node, key);
}

// The items of an array under `key`; none when it is missing or not an array.
std::vector<plist_t> arrayItems(plist_t node, const char* key) {
    std::vector<plist_t> items;
    plist_t array = dictItem(node, key);
    if (!array || plist_get_node_type(array) != PLIST_ARRAY) {
        return items;
    }
    for (uint32_t i = 0, n = plist_array_get_size(array); i < n; ++i) {
        items.push_back(plist_array_get_item(array, i));
    }
    return items;
}

// A member's identifier: the text itself, or the "CoreStorageUUID" of a dictionary.
std::optional<std::string> memberUUID(plist_t node) {
    if (auto text = stringValue(node)) {
        return text;
    }
    return stringValue(dictItem(node, "CoreStorageUUID"));
}

}  // namespace

DMCoreStorageList DMCoreStorageList::parse(const std::string& propertyList) {
    DMCoreStorageList list;
    if (propertyList.empty() || propertyList.size() > std::numeric_limits<uint32_t>::max()) {
        return list;
    }
    plist_t raw = nullptr;
    plist_from_memory(propertyList.data(), static_cast<uint32_t>(propertyList.size()), &raw);
    PlistPtr root(raw);
    for (plist_t groupNode : arrayItems(root.get(), "CoreStorageLogicalVolumeGroups")) {
        Group group;
        group.uuid = memberUUID(groupNode).value_or("");
        for (plist_t pv : arrayItems(groupNode, "CoreStoragePhysicalVolumes")) {
            if (auto uuid = memberUUID(pv)) {
                group.physicalVolumes.push_back(*uuid);
            }
        }
        for (plist_t family : arrayItems(groupNode, "CoreStorageLogicalVolumeFamilies")) {
            for (plist_t lv : arrayItems(family, "CoreStorageLogicalVolumes")) {
                if (auto uuid = memberUUID(lv)) {
                    group.logicalVolumes.push_back(*uuid);
                }
            }
        }
        list.groups_.push_back(std::move(group));
    }
    return list;
}

const DMCoreStorageList::Group* DMCoreStorageList::groupWithPhysicalVolume(const std::string& uuid) const {
    for (const Group& group : groups_) {
        for (const std::string& pv : group.physicalVolumes) {
            if (pv == uuid) {
                return &group;
            }
        }
    }
    return nullptr;
}

bool DMCoreStorageList::hasLogicalVolume(const std::string& uuid) const {
    for (const Group& group : groups_) {
        for (const std::string& lv : group.logicalVolumes) {
            if (lv == uuid) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace harbormind
