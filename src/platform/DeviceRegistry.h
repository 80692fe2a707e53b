#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"
#include "platform/RegistryEntryId.h"

namespace harbormind {

// The device registry: a tree of entries (media, controllers, buses) in the service plane,
// each with properties of its own.
class DeviceRegistry {
public:
    virtual ~DeviceRegistry() = default;

    virtual std::optional<RegistryEntryId> entryFromPath(const std::string& registryPath) = 0;
    virtual std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry) = 0;
    virtual std::vector<RegistryEntryId> childEntries(RegistryEntryId entry) = 0;
    // The entry's own value for the key; no search of parents or children.
    virtual std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key) = 0;
};

}  // namespace harbormind
