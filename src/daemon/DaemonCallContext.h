#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "daemon/CallerIdentity.h"
#include "daemon/DaemonAction.h"
#include "daemon/FirstAidCommand.h"
#include "xpc/XPCInterface.h"

namespace harbormind {

// What a checked call carries besides its arguments: the caller's callback object (for the
// services with callbacks), the parsed check-disk command, who called (as the bus says), and
// a way to ask whether that caller is also authorized for another kind of action (a backend
// that needs more for some devices asks it).
struct DaemonCallContext {
    std::shared_ptr<XPCInterface> callbacks;
    std::optional<FirstAidCommand> firstAid;
    CallerIdentity caller;
    std::function<bool(DaemonAction)> authorizedFor;
};

}  // namespace harbormind
