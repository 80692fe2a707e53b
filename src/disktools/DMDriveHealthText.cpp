#include "disktools/DMDriveHealthText.h"

namespace harbormind {

std::string DMDriveHealthText::assessment(DMDriveHealthAssessment value) {
    switch (value) {
    case DMDriveHealthAssessment::good: return good;
    case DMDriveHealthAssessment::failing: return failing;
    case DMDriveHealthAssessment::unknown: return unknown;
    case DMDriveHealthAssessment::notAvailable: return notAvailable;
    }
    return unknown;
}

std::vector<std::pair<std::string, std::string>> DMDriveHealthText::facts(const DMDriveHealth& health) {
    std::vector<std::pair<std::string, std::string>> rows;
    auto add = [&rows](const char* key, const std::optional<std::int64_t>& value, const std::string& unit = {}) {
        if (value) {
            rows.emplace_back(key, std::to_string(*value) + unit);
        }
    };
    add("Temperature", health.temperatureCelsius, " °C");
    add("Power-on hours", health.powerOnHours);
    add("Reallocated sectors", health.reallocatedSectors);
    add("Pending sectors", health.pendingSectors);
    add("Media errors", health.mediaErrors);
    add("Endurance used", health.percentageUsed, "%");
    add("Available spare", health.availableSpare, "%");
    if (std::string progress = selfTestProgress(health); !progress.empty()) {
        rows.emplace_back("Self-test", progress);
    } else if (!health.selfTests.empty()) {
        const auto& last = health.selfTests.front();
        rows.emplace_back("Last self-test", last.kind + ": " + last.result);
    }
    return rows;
}

std::string DMDriveHealthText::selfTestProgress(const DMDriveHealth& health) {
    if (!health.selfTestProgress) {
        return {};
    }
    return "running, " + std::to_string(*health.selfTestProgress) + "% done";
}

}  // namespace harbormind
