#include "platform/sim/InProcessBitLockerService.h"

namespace harbormind {

InProcessBitLockerService::InProcessBitLockerService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                                                     std::weak_ptr<XPCInterface> app)
    : InProcessService(std::move(daemon), std::move(key)), app_(std::move(app)) {}

void InProcessBitLockerService::isBitLockerKextAllowedWithReply(XPCBoolReply reply) {
    if (receive("isBitLockerKextAllowedWithReply", {})) {
        reply(boolFor("isBitLockerKextAllowedWithReply"));
    }
}

void InProcessBitLockerService::isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    answerBool("isBitLockerDriveWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname,
                                                                          XPCBoolReply reply) {
    answerBool("isBitLockerEncryptionSupportedWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname,
                                                                         XPCBoolReply reply) {
    answerBool("needResumeBitLockerEncryptionWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    if (receive("lockBitLockerDriveWithBsdname", {bsdname})) {
        reply(daemon_->lockBitLocker(bsdname));
    }
}

void InProcessBitLockerService::resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname,
                                                                          XPCBoolReply reply) {
    if (receive("resumeEncryptingBitLockerDriveWithBsdname", {bsdname})) {
        sendEncryptionProgress(app_, bsdname);
        reply(boolFor("resumeEncryptingBitLockerDriveWithBsdname", bsdname));
    }
}

void InProcessBitLockerService::getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname,
                                                                   XPCStringReply reply) {
    answerText("getBitLockerRecoveryKeyWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    answerText("getBitLockerVolumeGUIDWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    answerText("getBitLockerBSDNameWithBsdname", bsdname, reply);
}

void InProcessBitLockerService::encryptBitLockerDriveWithBsdname(const std::string& bsdname,
                                                                 const std::string& password, XPCBoolReply reply) {
    if (receive("encryptBitLockerDriveWithBsdname", {bsdname, password})) {
        sendEncryptionProgress(app_, bsdname);
        reply(boolFor("encryptBitLockerDriveWithBsdname", bsdname));
    }
}

void InProcessBitLockerService::unlockBitLockerDriveWithBsdname(const std::string& bsdname,
                                                                const std::string& password, bool readOnly,
                                                                XPCIntReply reply) {
    if (receive("unlockBitLockerDriveWithBsdname", {bsdname, password, flagText(readOnly)})) {
        reply(daemon_->unlockBitLocker(bsdname, password));
    }
}

void InProcessBitLockerService::bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    if (receive("bitLockerDriveStatusWithBsdname", {bsdname})) {
        reply(daemon_->bitLockerStatus(bsdname));
    }
}

}  // namespace harbormind
