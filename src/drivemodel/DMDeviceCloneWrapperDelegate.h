#pragma once

#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

// Receives the clone's progress, on the daemon connection's thread.
class DMDeviceCloneWrapperDelegate {
public:
    virtual ~DMDeviceCloneWrapperDelegate() = default;
    virtual void deviceCloneProgress(const DMProgressMessage& message) = 0;
};

}  // namespace harbormind
