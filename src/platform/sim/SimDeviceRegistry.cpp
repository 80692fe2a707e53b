#include "platform/sim/SimDeviceRegistry.h"

#include "platform/sim/SimMachine.h"

namespace harbormind {

std::optional<RegistryEntryId> SimDeviceRegistry::entryFromPath(const std::string& registryPath) {
    return machine_->entryFromPath(registryPath);
}

std::optional<RegistryEntryId> SimDeviceRegistry::parentEntry(RegistryEntryId entry) {
    return machine_->parentEntry(entry);
}

std::vector<RegistryEntryId> SimDeviceRegistry::childEntries(RegistryEntryId entry) {
    return machine_->childEntries(entry);
}

std::optional<PlatformValue> SimDeviceRegistry::property(RegistryEntryId entry, const std::string& key) {
    return machine_->property(entry, key);
}

}  // namespace harbormind
