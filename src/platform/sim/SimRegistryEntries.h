#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"
#include "platform/RegistryEntryId.h"

namespace harbormind {

// The device registry of a simulated machine: entries by key, each under a parent key (and
// maybe further parents). A key keeps its handle for the life of the machine, so a re-added
// disk is found again; a removed entry stays known but is no longer present. Not locked:
// the machine uses it under its own lock.
class SimRegistryEntries {
public:
    void put(const std::string& key, const std::optional<std::string>& parent,
             const std::vector<std::string>& otherParents, const std::string& name,
             PlatformValue::Dictionary properties);
    void hide(const std::string& key);

    // The handle of a present entry.
    std::optional<RegistryEntryId> id(const std::string& key) const;
    std::optional<RegistryEntryId> parent(RegistryEntryId id) const;
    std::vector<RegistryEntryId> children(RegistryEntryId id) const;
    std::optional<PlatformValue> property(RegistryEntryId id, const std::string& key) const;
    // "IOService:/root/.../name", none for an entry not present or detached from the root.
    std::optional<std::string> path(RegistryEntryId id) const;
    std::optional<RegistryEntryId> fromPath(const std::string& path) const;
    // The parent keys from the entry up to the root, nearest first.
    std::vector<std::string> ancestorKeys(const std::string& key) const;

private:
    struct Entry {
        RegistryEntryId id = 0;
        std::optional<std::string> parent;
        std::vector<std::string> otherParents;
        std::string name;
        PlatformValue::Dictionary properties;
        bool present = false;

        bool isChildOf(const std::string& key) const;
    };

    const Entry* find(RegistryEntryId id) const;
    const Entry* present(const std::string& key) const;

    std::map<std::string, Entry> entries_;
    std::vector<std::string> order_;
    std::map<RegistryEntryId, std::string> keysById_;
    RegistryEntryId nextId_ = 0x1001;
};

}  // namespace harbormind
