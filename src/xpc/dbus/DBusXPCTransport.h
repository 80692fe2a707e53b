#pragma once

#include <memory>
#include <string>

#include "xpc/XPCTransport.h"

namespace harbormind {

// Reaches the daemon `drivemanagerd` over the system bus (or the bus that
// DBUS_SYSTEM_BUS_ADDRESS names).
class DBusXPCTransport final : public XPCTransport {
public:
    std::shared_ptr<XPCConnection> newConnection(const std::string& serviceName) override;
};

}  // namespace harbormind
