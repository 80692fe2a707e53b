#pragma once

#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The NTFS service over the bus; the two settings are sent without waiting for a reply.
class DBusNtfsProxy final : public DBusServiceProxy, public DMNtfsServerProtocol {
public:
    DBusNtfsProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override {
        ask<bool>("isNtfsKextAllowedWithReply", std::move(reply));
    }
    void setIgnoreHibernateFileWithFlag(bool flag) override { tell("setIgnoreHibernateFileWithFlag", flag); }
    void setEnableDebugLoggingWithFlag(bool flag) override { tell("setEnableDebugLoggingWithFlag", flag); }
    void mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) override {
        ask<std::int64_t>("mountAsNTFSNativelyWithBsdName", std::move(reply), bsdName);
    }
    void mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) override {
        askCode("mountNTFSVolumeWithBsdName", false, std::move(reply), bsdName);
    }
};

}  // namespace harbormind
