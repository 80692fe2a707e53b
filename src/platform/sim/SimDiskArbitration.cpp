#include "platform/sim/SimDiskArbitration.h"

#include "platform/sim/SimDiskArbitrationSession.h"
#include "platform/sim/SimMachine.h"

namespace harbormind {

std::shared_ptr<DiskArbitrationSession> SimDiskArbitration::createSession() {
    if (machine_->refusesSessions()) {
        return nullptr;
    }
    auto session = std::make_shared<SimDiskArbitrationSession>(machine_);
    machine_->attach(session);
    machine_->start();
    return session;
}

}  // namespace harbormind
