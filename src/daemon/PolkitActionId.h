#pragma once

#include <string>
#include <vector>

#include "daemon/DaemonAction.h"

namespace harbormind {

// The polkit action of each kind of operation, as com.kestrane.drivemanagerd.policy declares it.
class PolkitActionId {
public:
    static constexpr const char* prefix = "com.kestrane.drivemanagerd.";

    // Empty for `perDevice`, which is never asked about as such.
    static std::string of(DaemonAction action);
    // Every action that is asked about.
    static const std::vector<DaemonAction>& all();
};

}  // namespace harbormind
