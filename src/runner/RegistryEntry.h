#pragma once

#include <optional>
#include <string>

#include "platform/PlatformValue.h"
#include "platform/RegistryEntryId.h"

namespace harbormind {

// One entry of the current platform's device registry. Each way of finding one gives no
// entry when the platform has none.
class RegistryEntry {
public:
    static std::optional<RegistryEntry> fromRegistryPath(const std::string& registryPath);
    // The entry's parent in the service plane.
    static std::optional<RegistryEntry> parentOf(const RegistryEntry& entry);
    // The media of the disk mounted at the path.
    static std::optional<RegistryEntry> fromVolumePath(const std::string& volumePath);
    // The media of the disk with the BSD name.
    static std::optional<RegistryEntry> fromBSDName(const std::string& bsdName);
    // The nearest ancestor, starting at the entry's parent, whose "IOClass" is exactly the
    // class name.
    static std::optional<RegistryEntry> ancestorOf(const RegistryEntry& entry, const std::string& className);

    RegistryEntryId entry() const { return entry_; }
    // The entry's own value for the key; parents and children are not searched.
    std::optional<PlatformValue> property(const std::string& key) const;

private:
    explicit RegistryEntry(RegistryEntryId entry) : entry_(entry) {}

    RegistryEntryId entry_;
};

}  // namespace harbormind
