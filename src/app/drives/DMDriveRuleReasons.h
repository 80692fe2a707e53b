#pragma once

#include <cstdint>
#include <string>

#include "app/drives/DMDriveRules.h"
#include "app/drives/DMDriveSnapshot.h"

namespace harbormind {

// Why an action-bar item is greyed out, in words for its tooltip: the first of its rule's
// conditions that the drive does not meet. Empty when the rule holds.
class DMDriveRuleReasons {
public:
    static std::string partition(std::uint8_t action, const DMDriveSnapshot& drive, const DMDriveRulesContext& context);
    static std::string wholeDisk(std::uint8_t action, const DMDriveSnapshot& drive);
    static std::string network(std::uint8_t action, const DMDriveSnapshot& drive);
};

}  // namespace harbormind
