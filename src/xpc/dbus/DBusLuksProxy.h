#pragma once

#include "xpc/DMLuksServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The encrypted-volume service over the bus.
class DBusLuksProxy final : public DBusServiceProxy, public DMLuksServerProtocol {
public:
    DBusLuksProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override;
    void needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password, bool inFront,
                                     XPCCodeReply reply) override;
    void resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                         XPCCodeReply reply) override;
    void getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                XPCCodeReply reply) override;
    void lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
};

}  // namespace harbormind
