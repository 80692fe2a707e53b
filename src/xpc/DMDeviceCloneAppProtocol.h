#pragma once

#include <cstdint>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// Callbacks of the device-clone service: copy progress.
class DMDeviceCloneAppProtocol : public virtual XPCInterface {
public:
    virtual void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                          std::int64_t error, XPCIntReply reply) = 0;
};

}  // namespace harbormind
