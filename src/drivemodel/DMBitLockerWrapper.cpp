#include "drivemodel/DMBitLockerWrapper.h"

#include "drivemodel/DMProgressMessage.h"
#include "xpc/DaemonCall.h"
#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {

std::shared_ptr<DMBitLockerWrapper> DMBitLockerWrapper::shared() {
    static auto* instance = new std::shared_ptr<DMBitLockerWrapper>(create());
    return *instance;
}

std::shared_ptr<DMBitLockerWrapper> DMBitLockerWrapper::create() {
    return std::shared_ptr<DMBitLockerWrapper>(new DMBitLockerWrapper());
}

XPCDuplexObject& DMBitLockerWrapper::bitlockerXPCObj() {
    std::lock_guard lock(mutex_);
    if (!bitlockerXPCObj_) {
        std::weak_ptr<XPCInterface> exported = std::static_pointer_cast<DMBitLockerAppProtocol>(shared_from_this());
        bitlockerXPCObj_ = std::make_unique<XPCDuplexObject>(XPCServiceName::bitLocker, exported);
    }
    return *bitlockerXPCObj_;
}

bool DMBitLockerWrapper::askBool(const std::string& method, const std::string& bsdname,
                                 void (DMBitLockerServerProtocol::*call)(const std::string&, XPCBoolReply)) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), false, DaemonCallLimit::query, method,
        [&](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) { (proxy.*call)(bsdname, std::move(reply)); });
}

std::string DMBitLockerWrapper::askText(const std::string& method, const std::string& bsdname,
                                        void (DMBitLockerServerProtocol::*call)(const std::string&, XPCStringReply)) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), std::string(), DaemonCallLimit::query, method,
        [&](DMBitLockerServerProtocol& proxy, XPCStringReply reply) { (proxy.*call)(bsdname, std::move(reply)); });
}

bool DMBitLockerWrapper::isBitLockerKextAllowed() {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), false, DaemonCallLimit::query, "isBitLockerKextAllowedWithReply",
        [](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) { proxy.isBitLockerKextAllowedWithReply(reply); });
}

bool DMBitLockerWrapper::isBitLockerDriveWithBsdname(const std::string& bsdname) {
    return askBool("isBitLockerDriveWithBsdname", bsdname, &DMBitLockerServerProtocol::isBitLockerDriveWithBsdname);
}

bool DMBitLockerWrapper::isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname) {
    return askBool("isBitLockerEncryptionSupportedWithBsdname", bsdname,
                   &DMBitLockerServerProtocol::isBitLockerEncryptionSupportedWithBsdname);
}

bool DMBitLockerWrapper::needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname) {
    return askBool("needResumeBitLockerEncryptionWithBsdname", bsdname,
                   &DMBitLockerServerProtocol::needResumeBitLockerEncryptionWithBsdname);
}

bool DMBitLockerWrapper::lockBitLockerDriveWithBsdname(const std::string& bsdname) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), false, DaemonCallLimit::operation, "lockBitLockerDriveWithBsdname",
        [&](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) { proxy.lockBitLockerDriveWithBsdname(bsdname, reply); });
}

std::string DMBitLockerWrapper::getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname) {
    return askText("getBitLockerRecoveryKeyWithBsdname", bsdname,
                   &DMBitLockerServerProtocol::getBitLockerRecoveryKeyWithBsdname);
}

std::string DMBitLockerWrapper::getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname) {
    return askText("getBitLockerVolumeGUIDWithBsdname", bsdname,
                   &DMBitLockerServerProtocol::getBitLockerVolumeGUIDWithBsdname);
}

std::string DMBitLockerWrapper::getBitLockerBSDNameWithBsdname(const std::string& bsdname) {
    return askText("getBitLockerBSDNameWithBsdname", bsdname,
                   &DMBitLockerServerProtocol::getBitLockerBSDNameWithBsdname);
}

std::int64_t DMBitLockerWrapper::unlockBitLockerDriveWithBsdname(const std::string& bsdname,
                                                                 const std::string& password, bool readOnly) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), std::int64_t{-1}, DaemonCallLimit::operation, "unlockBitLockerDriveWithBsdname",
        [&](DMBitLockerServerProtocol& proxy, XPCIntReply reply) {
            proxy.unlockBitLockerDriveWithBsdname(bsdname, password, readOnly, reply);
        });
}

DMLocalDriveStatus DMBitLockerWrapper::bitLockerDriveStatusWithBsdname(const std::string& bsdname) {
    std::int64_t answer = waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), std::int64_t{rawValue(DMLocalDriveStatus::invalid)}, DaemonCallLimit::query,
        "bitLockerDriveStatusWithBsdname",
        [&](DMBitLockerServerProtocol& proxy, XPCIntReply reply) { proxy.bitLockerDriveStatusWithBsdname(bsdname, reply); });
    return localDriveStatusFromRawValue(answer).value_or(DMLocalDriveStatus::invalid);
}

bool DMBitLockerWrapper::encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), false, encryptionLimit, "encryptBitLockerDriveWithBsdname",
        [&](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) {
            proxy.encryptBitLockerDriveWithBsdname(bsdname, password, reply);
        });
}

bool DMBitLockerWrapper::resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname) {
    return waitForDaemon<DMBitLockerServerProtocol>(
        bitlockerXPCObj(), false, encryptionLimit, "resumeEncryptingBitLockerDriveWithBsdname",
        [&](DMBitLockerServerProtocol& proxy, XPCBoolReply reply) {
            proxy.resumeEncryptingBitLockerDriveWithBsdname(bsdname, reply);
        });
}

std::shared_ptr<DMBitLockerWrapperDelegate> DMBitLockerWrapper::bitLockerWrapperDelegate() const {
    std::lock_guard lock(mutex_);
    return bitLockerWrapperDelegate_.lock();
}

void DMBitLockerWrapper::setBitLockerWrapperDelegate(const std::weak_ptr<DMBitLockerWrapperDelegate>& job) {
    std::lock_guard lock(mutex_);
    bitLockerWrapperDelegate_ = job;
}

void DMBitLockerWrapper::updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                                  std::int64_t error, XPCIntReply reply) {
    DMProgressMessage message = DMProgressMessage::fromDaemon(status, total, current, error);
    auto job = bitLockerWrapperDelegate();
    std::uint64_t answer = job ? job->progressReceived(message) : 0;
    if (reply) {
        reply(static_cast<std::int64_t>(answer));
    }
}

void DMBitLockerWrapper::continuedWithReply(XPCBoolReply reply) {
    auto job = bitLockerWrapperDelegate();
    if (reply) {
        reply(job ? job->isContinued() : true);
    }
}

}  // namespace harbormind
