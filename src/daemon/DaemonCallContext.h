#pragma once

#include <memory>
#include <optional>

#include "daemon/CallerIdentity.h"
#include "daemon/FirstAidCommand.h"
#include "xpc/XPCInterface.h"

namespace harbormind {

// What a checked call carries besides its arguments: who sent it (as the bus reports it), the
// caller's callback object (for the services with callbacks) and the parsed check-disk command.
struct DaemonCallContext {
    CallerIdentity caller;
    std::shared_ptr<XPCInterface> callbacks;
    std::optional<FirstAidCommand> firstAid;
};

}  // namespace harbormind
