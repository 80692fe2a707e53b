#pragma once

#include "xpc/DMDeviceCloneServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The device-clone service over the bus; stopping is sent without waiting for a reply.
class DBusDeviceCloneProxy final : public DBusServiceProxy, public DMDeviceCloneServerProtocol {
public:
    DBusDeviceCloneProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void clonDeviceWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCIntReply reply) override {
        askUntilDone<std::int64_t>("clonDeviceWithStrDestinDevice", std::move(reply), strDestinDevice, strSourceDevice, isCover);
    }
    void isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) override {
        ask<bool>("isCloneInterruptDeviceWithStrDevice", std::move(reply), strDevice);
    }
    void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                              XPCStringReply reply) override {
        ask<std::string>("getCloneInterruptSourceDeviceUUIDWithStrDestinDevice", std::move(reply), strDestinDevice);
    }
    void stopCloneWithFlag(bool flag) override { tell("stopCloneWithFlag", flag); }
    void checkDiskWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                      XPCIntReply reply) override {
        ask<std::int64_t>("checkDiskWithStrDestinDevice", std::move(reply), strDestinDevice, strSourceDevice);
    }
    void checkClonePairWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                           XPCCodeReply reply) override {
        askCode("checkClonePairWithStrDestinDevice", false, std::move(reply), strDestinDevice, strSourceDevice);
    }
    void isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice, XPCBoolReply reply) override {
        ask<bool>("isCloneRunningWithStrDestinDevice", std::move(reply), strDestinDevice);
    }
    // Answered once the copy has started or was refused; an administrator may have to
    // authenticate first.
    void startCloneWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCCodeReply reply) override {
        askCode("startCloneWithStrDestinDevice", false, std::move(reply), strDestinDevice, strSourceDevice, isCover);
    }
};

}  // namespace harbormind
