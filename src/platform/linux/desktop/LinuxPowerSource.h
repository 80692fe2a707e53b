#pragma once

#include <string>

#include "platform/PowerSource.h"

namespace harbormind {

// Reads the kernel's power supplies (/sys/class/power_supply). An external adapter is
// attached when a supply of type "Mains" or "USB..." reports online = 1. A machine with no
// battery at all (a desktop) always runs on external power.
class LinuxPowerSource final : public PowerSource {
public:
    explicit LinuxPowerSource(std::string supplyFolder = "/sys/class/power_supply")
        : supplyFolder_(std::move(supplyFolder)) {}

    bool hasExternalAdapter() override;

private:
    const std::string supplyFolder_;
};

}  // namespace harbormind
