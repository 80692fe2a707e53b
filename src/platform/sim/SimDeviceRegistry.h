#pragma once

#include <memory>

#include "platform/DeviceRegistry.h"

namespace harbormind {

class SimMachine;

// The device registry of a simulated machine. Registry paths are "IOService:/" followed by
// the names of the entries from the root down.
class SimDeviceRegistry final : public DeviceRegistry {
public:
    explicit SimDeviceRegistry(std::shared_ptr<SimMachine> machine) : machine_(std::move(machine)) {}

    std::optional<RegistryEntryId> entryFromPath(const std::string& registryPath) override;
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry) override;
    std::vector<RegistryEntryId> childEntries(RegistryEntryId entry) override;
    std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key) override;

private:
    std::shared_ptr<SimMachine> machine_;
};

}  // namespace harbormind
