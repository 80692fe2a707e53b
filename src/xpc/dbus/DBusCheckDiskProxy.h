#pragma once

#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The check-disk service over the bus.
class DBusCheckDiskProxy final : public DBusServiceProxy, public DMCheckDiskServerProtocol {
public:
    DBusCheckDiskProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) override {
        askUntilDone<bool>("firstAidWithArguments", std::move(reply), arguments);
    }
};

}  // namespace harbormind
