#include "drivemodel/DMRegistrySearch.h"

#include <set>
#include <vector>

#include "platform/DeviceRegistry.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

// A registry is a tree, but a damaged one must not loop forever.
constexpr std::size_t maximumEntries = 100000;

}  // namespace

std::optional<PlatformValue> DMRegistrySearch::own(RegistryEntryId entry, const std::string& key) {
    return Platform::current().registry().property(entry, key);
}

std::optional<PlatformValue> DMRegistrySearch::ownOrChildren(RegistryEntryId entry, const std::string& key) {
    DeviceRegistry& registry = Platform::current().registry();
    if (auto value = registry.property(entry, key)) {
        return value;
    }
    for (RegistryEntryId child : registry.childEntries(entry)) {
        if (auto value = registry.property(child, key)) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<PlatformValue> DMRegistrySearch::downward(RegistryEntryId entry, const std::string& key) {
    DeviceRegistry& registry = Platform::current().registry();
    std::vector<RegistryEntryId> pending{entry};
    std::set<RegistryEntryId> seen;
    while (!pending.empty() && seen.size() < maximumEntries) {
        RegistryEntryId current = pending.back();
        pending.pop_back();
        if (!seen.insert(current).second) {
            continue;
        }
        if (auto value = registry.property(current, key)) {
            return value;
        }
        std::vector<RegistryEntryId> children = registry.childEntries(current);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return std::nullopt;
}

std::optional<PlatformValue> DMRegistrySearch::upward(RegistryEntryId entry, const std::string& key) {
    DeviceRegistry& registry = Platform::current().registry();
    std::set<RegistryEntryId> seen;
    std::optional<RegistryEntryId> current = entry;
    while (current && seen.insert(*current).second && seen.size() < maximumEntries) {
        if (auto value = registry.property(*current, key)) {
            return value;
        }
        current = registry.parentEntry(*current);
    }
    return std::nullopt;
}

std::optional<RegistryEntryId> DMRegistrySearch::parent(RegistryEntryId entry) {
    return Platform::current().registry().parentEntry(entry);
}

}  // namespace harbormind
