#pragma once

#include <string>

#include "app/drives/DMDriveRules.h"
#include "app/drives/DMDriveSnapshot.h"

namespace harbormind {

// Why an action-bar item is greyed out, in words for its tooltip: the first of its rule's
// conditions that the drive does not meet. Empty when the rule holds.
class DMDriveRuleReasons {
public:
    static std::string partition(DMDriveAction action, const DMDriveSnapshot& drive, const DMDriveRulesContext& context);
    static std::string wholeDisk(DMDriveAction action, const DMDriveSnapshot& drive);
    static std::string network(DMDriveAction action, const DMDriveSnapshot& drive);
};

}  // namespace harbormind
