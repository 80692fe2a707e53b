#pragma once

#include "platform/sim/SimAction.h"

namespace harbormind {

// An action that happens at a moment of the scenario's timeline, in seconds after it starts.
struct SimEvent {
    double at = 0;
    SimAction action;
};

}  // namespace harbormind
