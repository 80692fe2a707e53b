#pragma once

#include <string>
#include <vector>

#include "disktools/DMDriveHealth.h"

namespace harbormind {

// The words of a drive's health, shared by the window and the command line.
class DMDriveHealthText {
public:
    static constexpr const char* healthKey = "Health";
    static constexpr const char* good = "Good";
    static constexpr const char* failing = "Failing";
    static constexpr const char* unknown = "Unknown";
    static constexpr const char* notAvailable = "Not available";

    // "Good", "Failing", "Unknown" or "Not available".
    static std::string assessment(DMDriveHealthAssessment assessment);
    // The facts behind the assessment, as (key, value) rows; counts the drive does not report
    // are left out.
    static std::vector<std::pair<std::string, std::string>> facts(const DMDriveHealth& health);
    // "40% done" while a self-test runs; empty otherwise.
    static std::string selfTestProgress(const DMDriveHealth& health);
};

}  // namespace harbormind
