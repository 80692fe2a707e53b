#pragma once

#include <optional>
#include <string>

#include "platform/PlatformValue.h"
#include "platform/RegistryEntryId.h"

namespace harbormind {

// Searches of the current platform's device registry for a property.
class DMRegistrySearch {
public:
    static std::optional<PlatformValue> own(RegistryEntryId entry, const std::string& key);
    // The entry itself, then its direct children (not their children).
    static std::optional<PlatformValue> ownOrChildren(RegistryEntryId entry, const std::string& key);
    // The entry itself, then its descendants depth first.
    static std::optional<PlatformValue> downward(RegistryEntryId entry, const std::string& key);
    // The entry itself, then its ancestors in the service plane.
    static std::optional<PlatformValue> upward(RegistryEntryId entry, const std::string& key);
    static std::optional<RegistryEntryId> parent(RegistryEntryId entry);
};

}  // namespace harbormind
