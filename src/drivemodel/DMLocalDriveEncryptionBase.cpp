#include "drivemodel/DMLocalDriveEncryptionBase.h"

#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"

namespace harbormind {

DMLocalDriveEncryptionBase::DMLocalDriveEncryptionBase(std::shared_ptr<DMLocalDriveObject> drive)
    : driveObj_(std::move(drive)) {}

std::shared_ptr<DMLocalDriveEncryptionDelegate> DMLocalDriveEncryptionBase::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMLocalDriveEncryptionBase::setDelegate(const std::weak_ptr<DMLocalDriveEncryptionDelegate>& delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = delegate;
}

std::optional<std::string> DMLocalDriveEncryptionBase::password() const {
    std::lock_guard lock(mutex_);
    return password_;
}

void DMLocalDriveEncryptionBase::setPassword(const std::optional<std::string>& password) {
    std::lock_guard lock(mutex_);
    password_ = password;
}

std::optional<std::string> DMLocalDriveEncryptionBase::recoveryKey() const {
    std::lock_guard lock(mutex_);
    return recoveryKey_;
}

void DMLocalDriveEncryptionBase::setRecoveryKey(const std::optional<std::string>& recoveryKey) {
    std::lock_guard lock(mutex_);
    recoveryKey_ = recoveryKey;
}

std::shared_ptr<DMLocalDriveManager> DMLocalDriveEncryptionBase::manager() const {
    return driveObj_ ? std::dynamic_pointer_cast<DMLocalDriveManager>(driveObj_->manager()) : nullptr;
}

void DMLocalDriveEncryptionBase::scheduleFinalUpdate() {
    std::weak_ptr<int> alive = alive_;
    std::weak_ptr<DMLocalDriveObject> drive = driveObj_;
    Dispatch::main().asyncAfter(seconds(1), [alive, drive] {
        auto object = drive.lock();
        if (alive.expired() || !object) {
            return;
        }
        object->update();
        auto owner = std::dynamic_pointer_cast<DMLocalDriveManager>(object->manager());
        if (auto receiver = owner ? owner->delegate() : nullptr) {
            receiver->driveChanged(object);
        }
    });
}

}  // namespace harbormind
