#pragma once

#include <memory>

#include "daemon/FirstAidCommand.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The check-disk service's backend: runs one parsed, checked command and streams its output
// to the caller's callbacks. `command.device` has passed the device check.
class CheckDiskBackend {
public:
    virtual ~CheckDiskBackend() = default;
    virtual void firstAid(const FirstAidCommand& command, std::shared_ptr<DMCheckDiskAppProtocol> callbacks,
                          XPCBoolReply reply) = 0;
    // Whether the command will run once its volume is unmounted: 0, or the code and reason
    // that refuse it (the device held by something an unmount does not release).
    virtual XPCCodeAnswer canRun(const FirstAidCommand& command) = 0;
};

}  // namespace harbormind
