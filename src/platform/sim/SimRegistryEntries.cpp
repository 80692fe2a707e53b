#include "platform/sim/SimRegistryEntries.h"

#include <algorithm>

namespace harbormind {
namespace {

// Registry walks stop here even if a changed registry ever loops.
constexpr int maximumRegistryDepth = 256;

}  // namespace

bool SimRegistryEntries::Entry::isChildOf(const std::string& key) const {
    return parent == key || std::find(otherParents.begin(), otherParents.end(), key) != otherParents.end();
}

void SimRegistryEntries::put(const std::string& key, const std::optional<std::string>& parent,
                             const std::vector<std::string>& otherParents, const std::string& name,
                             PlatformValue::Dictionary properties) {
    auto [it, inserted] = entries_.try_emplace(key);
    Entry& entry = it->second;
    if (inserted) {
        entry.id = nextId_++;
        keysById_[entry.id] = key;
        order_.push_back(key);
    }
    entry.parent = parent;
    entry.otherParents = otherParents;
    entry.name = name.empty() ? key : name;
    entry.properties = std::move(properties);
    entry.present = true;
}

void SimRegistryEntries::hide(const std::string& key) {
    if (auto it = entries_.find(key); it != entries_.end()) {
        it->second.present = false;
    }
}

const SimRegistryEntries::Entry* SimRegistryEntries::find(RegistryEntryId id) const {
    auto key = keysById_.find(id);
    return key == keysById_.end() ? nullptr : present(key->second);
}

const SimRegistryEntries::Entry* SimRegistryEntries::present(const std::string& key) const {
    auto it = entries_.find(key);
    return it != entries_.end() && it->second.present ? &it->second : nullptr;
}

std::optional<RegistryEntryId> SimRegistryEntries::id(const std::string& key) const {
    const Entry* entry = present(key);
    return entry ? std::optional(entry->id) : std::nullopt;
}

std::optional<RegistryEntryId> SimRegistryEntries::parent(RegistryEntryId id) const {
    const Entry* entry = find(id);
    if (entry == nullptr || !entry->parent) {
        return std::nullopt;
    }
    const Entry* parentEntry = present(*entry->parent);
    return parentEntry ? std::optional(parentEntry->id) : std::nullopt;
}

std::vector<RegistryEntryId> SimRegistryEntries::children(RegistryEntryId id) const {
    std::vector<RegistryEntryId> found;
    if (find(id) == nullptr) {
        return found;
    }
    const std::string& parentKey = keysById_.at(id);
    for (const auto& key : order_) {
        const Entry* entry = present(key);
        if (entry != nullptr && entry->isChildOf(parentKey)) {
            found.push_back(entry->id);
        }
    }
    return found;
}

std::optional<PlatformValue> SimRegistryEntries::property(RegistryEntryId id, const std::string& key) const {
    const Entry* entry = find(id);
    if (entry == nullptr) {
        return std::nullopt;
    }
    auto it = entry->properties.find(key);
    return it == entry->properties.end() ? std::nullopt : std::optional(it->second);
}

std::optional<std::string> SimRegistryEntries::path(RegistryEntryId id) const {
    const Entry* entry = find(id);
    if (entry == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names{entry->name};
    for (int depth = 0; entry->parent && depth < maximumRegistryDepth; ++depth) {
        entry = present(*entry->parent);
        if (entry == nullptr) {
            return std::nullopt;  // detached from the root
        }
        names.push_back(entry->name);
    }
    std::string joined = "IOService:";
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        joined += "/" + *it;
    }
    return joined;
}

std::optional<RegistryEntryId> SimRegistryEntries::fromPath(const std::string& wantedPath) const {
    std::string wanted = wantedPath.rfind("IOService:", 0) == 0 ? wantedPath : "IOService:" + wantedPath;
    for (const auto& [id, key] : keysById_) {
        if (present(key) != nullptr && path(id) == wanted) {
            return id;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SimRegistryEntries::ancestorKeys(const std::string& key) const {
    std::vector<std::string> keys;
    const Entry* entry = present(key);
    for (int depth = 0; entry != nullptr && entry->parent && depth < maximumRegistryDepth; ++depth) {
        keys.push_back(*entry->parent);
        entry = present(*entry->parent);
    }
    return keys;
}

}  // namespace harbormind
