#pragma once

#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The USB blocker service over the bus. A request that may wait for an administrator's
// password waits as long as the prompt is open: the caller's own limit decides.
class DBusUSBBlockerProxy final : public DBusServiceProxy, public DMUSBBlockerServerProtocol {
public:
    DBusUSBBlockerProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void addPlistFileWithReply(XPCBoolReply reply) override {
        askUntilDone<bool>("addPlistFileWithReply", std::move(reply));
    }
    void removePlistFileWithReply(XPCBoolReply reply) override {
        askUntilDone<bool>("removePlistFileWithReply", std::move(reply));
    }
    void usbWardenStateWithReply(XPCStringReply reply) override {
        ask<std::string>("usbWardenStateWithReply", std::move(reply));
    }
    void checkUSBWardenPasswordWithPassword(const std::string& password, XPCCodeReply reply) override {
        askCode("checkUSBWardenPasswordWithPassword", false, std::move(reply), password);
    }
    void setUSBWardenPasswordWithOldPassword(const std::string& oldPassword, const std::string& newPassword,
                                             XPCCodeReply reply) override {
        askCode("setUSBWardenPasswordWithOldPassword", true, std::move(reply), oldPassword, newPassword);
    }
    void disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) override {
        askCode("disableUSBWardenWithPassword", true, std::move(reply), password);
    }
    void setUSBWardenModeWithMode(std::int64_t mode, const std::string& password, XPCCodeReply reply) override {
        askCode("setUSBWardenModeWithMode", true, std::move(reply), mode, password);
    }
    void addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                 XPCCodeReply reply) override {
        askCode("addUSBListEntryWithName", true, std::move(reply), name, size, white);
    }
    void removeUSBListEntryWithName(const std::string& name, bool white, XPCCodeReply reply) override {
        askCode("removeUSBListEntryWithName", true, std::move(reply), name, white);
    }
    void allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) override {
        askCode("allowUSBDiskOnceWithBsdname", true, std::move(reply), bsdname);
    }
};

}  // namespace harbormind
