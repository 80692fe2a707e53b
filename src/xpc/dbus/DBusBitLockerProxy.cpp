#include "xpc/dbus/DBusBitLockerProxy.h"

namespace harbormind {

void DBusBitLockerProxy::isBitLockerKextAllowedWithReply(XPCBoolReply reply) {
    ask<bool>("isBitLockerKextAllowedWithReply", std::move(reply));
}
void DBusBitLockerProxy::isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("isBitLockerDriveWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("isBitLockerEncryptionSupportedWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("needResumeBitLockerEncryptionWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("lockBitLockerDriveWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    askUntilDone<bool>("resumeEncryptingBitLockerDriveWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getBitLockerRecoveryKeyWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getBitLockerVolumeGUIDWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getBitLockerBSDNameWithBsdname", std::move(reply), bsdname);
}
void DBusBitLockerProxy::encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                          XPCBoolReply reply) {
    askUntilDone<bool>("encryptBitLockerDriveWithBsdname", std::move(reply), bsdname, password);
}
void DBusBitLockerProxy::unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                         bool readOnly, XPCIntReply reply) {
    ask<std::int64_t>("unlockBitLockerDriveWithBsdname", std::move(reply), bsdname, password, readOnly);
}
void DBusBitLockerProxy::bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    ask<std::int64_t>("bitLockerDriveStatusWithBsdname", std::move(reply), bsdname);
}

}  // namespace harbormind
