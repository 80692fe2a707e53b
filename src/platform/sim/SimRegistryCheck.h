#pragma once

#include "platform/sim/SimScenario.h"

namespace harbormind {

// Every registry parent of a scenario must name a known entry, and walking up must end at a
// root; BSD names and registry keys are used once. Throws SimScenarioError otherwise.
class SimRegistryCheck {
public:
    static void check(const SimScenario& scenario);
};

}  // namespace harbormind
