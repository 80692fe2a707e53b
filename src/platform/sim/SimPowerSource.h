#pragma once

#include "platform/PowerSource.h"
#include "platform/sim/SimMachine.h"

namespace harbormind {

// The power adapter of a simulated machine; events and tests plug and unplug it.
class SimPowerSource final : public PowerSource {
public:
    explicit SimPowerSource(SimMachine& machine) : machine_(machine) {}
    bool hasExternalAdapter() override { return machine_.externalAdapter(); }

private:
    SimMachine& machine_;
};

}  // namespace harbormind
