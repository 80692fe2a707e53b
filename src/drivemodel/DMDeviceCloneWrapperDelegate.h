#pragma once

#include <cstdint>
#include <string>

#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

// Receives the clone's progress, on the daemon connection's thread.
class DMDeviceCloneWrapperDelegate {
public:
    virtual ~DMDeviceCloneWrapperDelegate() = default;
    virtual void deviceCloneProgress(const DMProgressMessage& message) = 0;
    // Just before the last message: the bytes of the source that could not be read (they
    // were written as zeros) and why the clone ended early, when it did.
    virtual void deviceCloneEnded(std::uint64_t /*unreadableBytes*/, const std::string& /*reason*/) {}
};

}  // namespace harbormind
