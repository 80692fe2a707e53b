#pragma once

#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The check-disk service over the bus.
class DBusCheckDiskProxy final : public DBusServiceProxy, public DMCheckDiskServerProtocol {
public:
    DBusCheckDiskProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    // The answer comes after every line of the stream that arrived before it: a refused
    // check's reason arrives as its last line, just ahead of the refusal.
    void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) override {
        std::shared_ptr<DispatchQueue> lines = callbackQueue();
        askUntilDone<bool>("firstAidWithArguments",
                           [lines, reply = std::move(reply)](bool accepted) {
                               lines->async([reply, accepted] {
                                   if (reply) {
                                       reply(accepted);
                                   }
                               });
                           },
                           arguments);
    }
    // May wait for an administrator's password.
    void canRunFirstAidWithArguments(const std::vector<std::string>& arguments, XPCCodeReply reply) override {
        askCode("canRunFirstAidWithArguments", false, std::move(reply), arguments);
    }
};

}  // namespace harbormind
