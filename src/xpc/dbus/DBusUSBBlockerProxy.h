#pragma once

#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The USB blocker service over the bus.
class DBusUSBBlockerProxy final : public DBusServiceProxy, public DMUSBBlockerServerProtocol {
public:
    DBusUSBBlockerProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void addPlistFileWithReply(XPCBoolReply reply) override { ask<bool>("addPlistFileWithReply", std::move(reply)); }
    void removePlistFileWithReply(XPCBoolReply reply) override {
        ask<bool>("removePlistFileWithReply", std::move(reply));
    }
};

}  // namespace harbormind
