#pragma once

#include <functional>
#include <vector>

#include "platform/sim/SimAction.h"
#include "platform/sim/SimEvent.h"

namespace harbormind {

// Plays a scenario's events on the clock: the actions of one moment run together, on a
// global queue, in the order the scenario lists them.
class SimTimeline {
public:
    using Run = std::function<void(const std::vector<SimAction>& actions)>;

    static void schedule(const std::vector<SimEvent>& events, const Run& run);
};

}  // namespace harbormind
