#include "drivemodel/DMLocalDriveBitLockerEncryption.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"

namespace harbormind {

std::shared_ptr<DMLocalDriveBitLockerEncryption> DMLocalDriveBitLockerEncryption::encryptionObject(
    std::shared_ptr<DMBitLockerWrapper> wrapper, std::shared_ptr<DMLocalDriveObject> drive) {
    if (!wrapper || !drive) {
        return nullptr;
    }
    const std::string bsdname = drive->identifier();
    if (!wrapper->needResumeBitLockerEncryptionWithBsdname(bsdname) &&
        !wrapper->isBitLockerEncryptionSupportedWithBsdname(bsdname)) {
        return nullptr;
    }
    return create(std::move(wrapper), std::move(drive));
}

std::shared_ptr<DMLocalDriveBitLockerEncryption> DMLocalDriveBitLockerEncryption::create(
    std::shared_ptr<DMBitLockerWrapper> wrapper, std::shared_ptr<DMLocalDriveObject> drive) {
    std::shared_ptr<DMLocalDriveBitLockerEncryption> job(
        new DMLocalDriveBitLockerEncryption(wrapper, std::move(drive)));
    if (wrapper) {
        wrapper->setBitLockerWrapperDelegate(job);
    }
    return job;
}

DMLocalDriveBitLockerEncryption::DMLocalDriveBitLockerEncryption(std::shared_ptr<DMBitLockerWrapper> wrapper,
                                                                 std::shared_ptr<DMLocalDriveObject> drive)
    : DMLocalDriveEncryptionBase(std::move(drive)), bitlockerWrapper_(std::move(wrapper)) {}

bool DMLocalDriveBitLockerEncryption::needResume() {
    return bitlockerWrapper_ && driveObj() &&
           bitlockerWrapper_->needResumeBitLockerEncryptionWithBsdname(driveObj()->identifier());
}

std::optional<std::string> DMLocalDriveBitLockerEncryption::guid() const {
    std::lock_guard lock(guidMutex_);
    return guid_;
}

void DMLocalDriveBitLockerEncryption::prepare() {
    auto self = shared_from_this();
    Dispatch::global()->async([self] { self->run(); });
}

void DMLocalDriveBitLockerEncryption::run() {
    if (!bitlockerWrapper_ || !driveObj()) {
        return;
    }
    const std::string bsdName = driveObj()->identifier();
    if (needResume()) {
        bitlockerWrapper_->resumeEncryptingBitLockerDriveWithBsdname(bsdName);
        flags().setReady();
        return;
    }
    if (auto chosen = password()) {
        bitlockerWrapper_->encryptBitLockerDriveWithBsdname(bsdName, *chosen);
    }
}

std::uint64_t DMLocalDriveBitLockerEncryption::progressReceived(const DMProgressMessage& message) {
    if (message.status == DMProgressStatus::finished) {
        scheduleFinalUpdate();
    }
    auto receiver = delegate();
    std::uint64_t answer = receiver ? receiver->encryptionProgress(message) : 0;
    if (message.status == DMProgressStatus::initialized && bitlockerWrapper_ && driveObj()) {
        flags().setReady();
        const std::string bsdName = driveObj()->identifier();
        std::string volumeGuid = bitlockerWrapper_->getBitLockerVolumeGUIDWithBsdname(bsdName);
        {
            std::lock_guard lock(guidMutex_);
            guid_ = volumeGuid;
        }
        setRecoveryKey(bitlockerWrapper_->getBitLockerRecoveryKeyWithBsdname(bsdName));
    }
    return flags().answerAfterWaiting(message.status, answer);
}

}  // namespace harbormind
