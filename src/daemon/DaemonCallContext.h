#pragma once

#include <memory>
#include <optional>

#include "daemon/FirstAidCommand.h"
#include "xpc/XPCInterface.h"

namespace harbormind {

// What a checked call carries besides its arguments: the caller's callback object (for the
// services with callbacks) and the parsed check-disk command.
struct DaemonCallContext {
    std::shared_ptr<XPCInterface> callbacks;
    std::optional<FirstAidCommand> firstAid;
};

}  // namespace harbormind
