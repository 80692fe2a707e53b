#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disktools/DMDriveHealthAssessment.h"
#include "disktools/DMDriveHealthAttribute.h"
#include "disktools/DMDriveSelfTestEntry.h"

namespace harbormind {

// A drive's health as one reading found it. Counts the drive does not report are absent.
struct DMDriveHealth {
    DMDriveHealthAssessment assessment = DMDriveHealthAssessment::unknown;
    // Why the health is not available or unknown, or what made it failing.
    std::string reason;
    std::string protocol;  // "ATA", "NVMe", "SCSI"
    std::string model;
    std::string serial;
    std::optional<std::int64_t> temperatureCelsius;
    std::optional<std::int64_t> powerOnHours;
    std::optional<std::int64_t> reallocatedSectors;
    std::optional<std::int64_t> pendingSectors;
    std::optional<std::int64_t> mediaErrors;      // NVMe
    std::optional<std::int64_t> percentageUsed;   // NVMe: the share of its rated endurance used
    std::optional<std::int64_t> availableSpare;   // NVMe, percent
    std::vector<DMDriveHealthAttribute> attributes;
    std::vector<DMDriveSelfTestEntry> selfTests;
    bool selfTestSupported = false;
    // A self-test is running: how far it has come, in percent.
    std::optional<std::int64_t> selfTestProgress;
    std::optional<std::int64_t> shortTestMinutes;
    std::optional<std::int64_t> extendedTestMinutes;

    static DMDriveHealth unavailable(std::string reason) {
        DMDriveHealth health;
        health.assessment = DMDriveHealthAssessment::notAvailable;
        health.reason = std::move(reason);
        return health;
    }
};

}  // namespace harbormind
