#pragma once

#include <optional>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "daemon/CallerIdentity.h"

namespace harbormind {

// Asks the bus who a connection belongs to (its uid, process and groups). The bus learned
// them from the kernel when the caller connected; nothing the caller sends is used.
class BusCallerCredentials {
public:
    static std::optional<CallerIdentity> of(sdbus::IConnection& connection, const std::string& busName);
    // The question, for asking without waiting, and the identity its reply gives.
    static sdbus::MethodCall question(sdbus::IProxy& bus, const std::string& busName);
    static std::optional<CallerIdentity> fromReply(const std::string& busName, sdbus::MethodReply& reply);
};

}  // namespace harbormind
