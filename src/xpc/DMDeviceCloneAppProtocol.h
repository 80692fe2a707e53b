#pragma once

#include <cstdint>
#include <string>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// Callbacks of the device-clone service: copy progress.
class DMDeviceCloneAppProtocol : public virtual XPCInterface {
public:
    virtual void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                          std::int64_t error, XPCIntReply reply) = 0;
    // Sent just before the last progress report of a clone: how many bytes of the source
    // could not be read (they were written as zeros) and, for a clone that ended early, why.
    // No reply.
    virtual void cloneEndedWithUnreadableBytes(std::int64_t /*unreadableBytes*/, const std::string& /*reason*/) {}
};

}  // namespace harbormind
