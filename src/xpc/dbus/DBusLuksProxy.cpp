#include "xpc/dbus/DBusLuksProxy.h"

namespace harbormind {

void DBusLuksProxy::isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("isLuksDriveWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    ask<std::int64_t>("luksDriveStatusWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    ask<bool>("needResumeLuksEncryptionWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    askCode("luksEncryptionLayoutsWithBsdname", false, std::move(reply), bsdname);
}
void DBusLuksProxy::encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                bool inFront, XPCCodeReply reply) {
    askCode("encryptLuksDriveWithBsdname", true, std::move(reply), bsdname, password, inFront);
}
void DBusLuksProxy::resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                                    XPCCodeReply reply) {
    askCode("resumeLuksEncryptionWithBsdname", true, std::move(reply), bsdname, password);
}
void DBusLuksProxy::getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getLuksRecoveryKeyWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getLuksHeaderWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    ask<std::string>("getLuksBSDNameWithBsdname", std::move(reply), bsdname);
}
void DBusLuksProxy::unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                           XPCCodeReply reply) {
    askCode("unlockDriveWithBsdname", false, std::move(reply), bsdname, password, readOnly);
}
void DBusLuksProxy::lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    askCode("lockDriveWithBsdname", false, std::move(reply), bsdname);
}

}  // namespace harbormind
