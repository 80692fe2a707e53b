#pragma once

#include "platform/DiskArbitration.h"

namespace harbormind {

class SimMachine;

// Disk arbitration of a simulated machine. Creating the first session starts the machine's
// timeline of events.
class SimDiskArbitration final : public DiskArbitration {
public:
    explicit SimDiskArbitration(std::shared_ptr<SimMachine> machine) : machine_(std::move(machine)) {}
    std::shared_ptr<DiskArbitrationSession> createSession() override;

private:
    std::shared_ptr<SimMachine> machine_;
};

}  // namespace harbormind
