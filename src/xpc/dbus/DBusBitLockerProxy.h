#pragma once

#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The BitLocker service over the bus.
class DBusBitLockerProxy final : public DBusServiceProxy, public DMBitLockerServerProtocol {
public:
    DBusBitLockerProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void isBitLockerKextAllowedWithReply(XPCBoolReply reply) override;
    void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                          XPCBoolReply reply) override;
    void unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                         XPCIntReply reply) override;
    void bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override;
};

}  // namespace harbormind
