#include "platform/sim/InProcessLuksService.h"

namespace harbormind {

InProcessLuksService::InProcessLuksService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                                           std::weak_ptr<XPCInterface> app)
    : InProcessService(std::move(daemon), std::move(key)), app_(std::move(app)) {}

void InProcessLuksService::isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    answerBool("isLuksDriveWithBsdname", bsdname, reply);
}

void InProcessLuksService::luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    if (receive("luksDriveStatusWithBsdname", {bsdname})) {
        reply(intFor("luksDriveStatusWithBsdname", bsdname, 0));
    }
}

void InProcessLuksService::needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    answerBool("needResumeLuksEncryptionWithBsdname", bsdname, reply);
}

void InProcessLuksService::luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    answerCode("luksEncryptionLayoutsWithBsdname", {bsdname}, bsdname, 0, reply);
}

void InProcessLuksService::encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                       bool inFront, XPCCodeReply reply) {
    if (receive("encryptLuksDriveWithBsdname", {bsdname, password, flagText(inFront)})) {
        reply(encryptionEnd("encryptLuksDriveWithBsdname", bsdname));
    }
}

void InProcessLuksService::resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                                           XPCCodeReply reply) {
    if (receive("resumeLuksEncryptionWithBsdname", {bsdname, password})) {
        reply(encryptionEnd("resumeLuksEncryptionWithBsdname", bsdname));
    }
}

// A job stopped by its caller ends as the daemon's does: stopped, not done.
XPCCodeAnswer InProcessLuksService::encryptionEnd(const std::string& method, const std::string& bsdname) const {
    if (!sendEncryptionProgress(app_, bsdname)) {
        return {2, "Encryption of " + bsdname + " stopped by its caller"};
    }
    return codeFor(method, bsdname, -1);
}

void InProcessLuksService::getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    answerText("getLuksRecoveryKeyWithBsdname", bsdname, reply);
}

void InProcessLuksService::getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    answerText("getLuksHeaderWithBsdname", bsdname, reply);
}

void InProcessLuksService::getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    answerText("getLuksBSDNameWithBsdname", bsdname, reply);
}

void InProcessLuksService::unlockDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                  bool readOnly, XPCCodeReply reply) {
    answerCode("unlockDriveWithBsdname", {bsdname, password, flagText(readOnly)}, bsdname, -1, reply);
}

void InProcessLuksService::lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    answerCode("lockDriveWithBsdname", {bsdname}, bsdname, -1, reply);
}

}  // namespace harbormind
