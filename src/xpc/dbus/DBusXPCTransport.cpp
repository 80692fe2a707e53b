#include "xpc/dbus/DBusXPCTransport.h"

#include "xpc/dbus/DBusXPCConnection.h"

namespace harbormind {

std::shared_ptr<XPCConnection> DBusXPCTransport::newConnection(const std::string& serviceName) {
    return std::make_shared<DBusXPCConnection>(serviceName);
}

}  // namespace harbormind
