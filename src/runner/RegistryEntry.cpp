#include "runner/RegistryEntry.h"

#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

// Walks stop here even if a platform's registry ever loops.
constexpr int maximumDepth = 1024;

}  // namespace

std::optional<RegistryEntry> RegistryEntry::fromRegistryPath(const std::string& registryPath) {
    auto id = Platform::current().registry().entryFromPath(registryPath);
    return id ? std::optional(RegistryEntry(*id)) : std::nullopt;
}

std::optional<RegistryEntry> RegistryEntry::parentOf(const RegistryEntry& entry) {
    auto id = Platform::current().registry().parentEntry(entry.entry_);
    return id ? std::optional(RegistryEntry(*id)) : std::nullopt;
}

std::optional<RegistryEntry> RegistryEntry::fromVolumePath(const std::string& volumePath) {
    auto session = Platform::current().diskArbitration().createSession();
    if (!session) {
        return std::nullopt;
    }
    auto disk = session->diskFromVolumePath(volumePath);
    auto media = disk ? session->copyIOMedia(*disk) : std::nullopt;
    return media ? std::optional(RegistryEntry(*media)) : std::nullopt;
}

std::optional<RegistryEntry> RegistryEntry::fromBSDName(const std::string& bsdName) {
    auto session = Platform::current().diskArbitration().createSession();
    if (!session) {
        return std::nullopt;
    }
    auto disk = session->diskFromBSDName(bsdName);
    auto media = disk ? session->copyIOMedia(*disk) : std::nullopt;
    return media ? std::optional(RegistryEntry(*media)) : std::nullopt;
}

std::optional<RegistryEntry> RegistryEntry::ancestorOf(const RegistryEntry& entry, const std::string& className) {
    DeviceRegistry& registry = Platform::current().registry();
    auto current = registry.parentEntry(entry.entry_);
    for (int depth = 0; current && depth < maximumDepth; ++depth) {
        auto value = registry.property(*current, "IOClass");
        if (value && value->asText() == className) {
            return RegistryEntry(*current);
        }
        current = registry.parentEntry(*current);
    }
    return std::nullopt;
}

std::optional<PlatformValue> RegistryEntry::property(const std::string& key) const {
    return Platform::current().registry().property(entry_, key);
}

}  // namespace harbormind
