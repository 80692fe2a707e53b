#include "drivemodel/DMLocalDriveLuksEncryption.h"

#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMProgressMessage.h"
#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {

std::shared_ptr<DMLocalDriveLuksEncryption> DMLocalDriveLuksEncryption::create(std::shared_ptr<DMLuksWrapper> wrapper,
                                                                               std::shared_ptr<DMLocalDriveObject> drive,
                                                                               bool inFront) {
    auto job = std::shared_ptr<DMLocalDriveLuksEncryption>(
        new DMLocalDriveLuksEncryption(std::move(wrapper), std::move(drive), inFront));
    job->wrapper_->setProgressReceiver(std::static_pointer_cast<DMBitLockerAppProtocol>(job));
    return job;
}

std::shared_ptr<DMLocalDriveLuksEncryption> DMLocalDriveLuksEncryption::forDrive(
    std::shared_ptr<DMLuksWrapper> wrapper, std::shared_ptr<DMLocalDriveObject> drive) {
    const std::string name = drive->identifier();
    if (wrapper->needResume(name)) {
        return create(std::move(wrapper), std::move(drive), false);
    }
    XPCCodeAnswer layouts = wrapper->layouts(name);
    if (layouts.code <= 0) {
        return nullptr;
    }
    bool inFront = (layouts.code & DMLuksServerProtocol::headerInFront) != 0;
    return create(std::move(wrapper), std::move(drive), inFront);
}

DMLocalDriveLuksEncryption::DMLocalDriveLuksEncryption(std::shared_ptr<DMLuksWrapper> wrapper,
                                                       std::shared_ptr<DMLocalDriveObject> drive, bool inFront)
    : wrapper_(std::move(wrapper)), driveObj_(std::move(drive)), inFront_(inFront) {}

std::shared_ptr<DMLocalDriveEncryptionDelegate> DMLocalDriveLuksEncryption::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMLocalDriveLuksEncryption::setDelegate(const std::weak_ptr<DMLocalDriveEncryptionDelegate>& delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = delegate;
}

bool DMLocalDriveLuksEncryption::needResume() {
    return wrapper_->needResume(driveObj_->identifier());
}

std::optional<std::string> DMLocalDriveLuksEncryption::password() const {
    std::lock_guard lock(mutex_);
    return password_;
}

void DMLocalDriveLuksEncryption::setPassword(const std::optional<std::string>& password) {
    std::lock_guard lock(mutex_);
    password_ = password;
}

std::optional<std::string> DMLocalDriveLuksEncryption::recoveryKey() const {
    std::lock_guard lock(mutex_);
    return recoveryKey_;
}

void DMLocalDriveLuksEncryption::setRecoveryKey(const std::optional<std::string>& recoveryKey) {
    std::lock_guard lock(mutex_);
    recoveryKey_ = recoveryKey;
}

void DMLocalDriveLuksEncryption::prepare() {
    std::weak_ptr<DMLocalDriveLuksEncryption> weak = shared_from_this();
    Dispatch::global()->async([weak] {
        if (auto job = weak.lock()) {
            job->run();
        }
    });
}

void DMLocalDriveLuksEncryption::run() {
    auto secret = password();
    if (!secret) {
        return;
    }
    const std::string name = driveObj_->identifier();
    XPCCodeAnswer answer = needResume() ? wrapper_->resume(name, *secret) : wrapper_->encrypt(name, *secret, inFront_);
    finish(answer);
}

// The delegate's last message: the daemon's `finished` report (or, when the daemon refused
// before the job began, a failure of set-up) with the daemon's answer as its text.
void DMLocalDriveLuksEncryption::finish(const XPCCodeAnswer& answer) {
    DMProgressMessage last;
    {
        std::lock_guard lock(mutex_);
        if (keyMissing_) {
            outcome_ = {answer.code == 0 ? -1 : answer.code,
                        "The recovery key could not be read from the helper service; nothing was changed"};
        } else {
            outcome_ = answer;
        }
        last = finished_.value_or(DMProgressMessage{});
        last.status = DMProgressStatus::finished;
        last.total = last.total ? last.total : total_;
        last.message = outcome_.message;
        if (outcome_.code != 0 && last.error == DMProgressError::noError) {
            last.error = isReady_ ? DMProgressError::FVE_ERROR_FALSE : DMProgressError::FVE_ERROR_INITIALIZED;
        }
    }
    std::weak_ptr<DMLocalDriveObject> drive = driveObj_;
    Dispatch::global()->async([drive] {
        if (auto object = drive.lock()) {
            object->update();
        }
    });
    if (auto receiver = delegate()) {
        receiver->encryptionProgress(last);
    }
}

void DMLocalDriveLuksEncryption::start() {
    hasStarted_ = true;
    hangup_ = false;
}

void DMLocalDriveLuksEncryption::pause() {
    hangup_ = true;
}

void DMLocalDriveLuksEncryption::cancel() {
    isContinued_ = false;
}

XPCCodeAnswer DMLocalDriveLuksEncryption::outcome() const {
    std::lock_guard lock(mutex_);
    return outcome_;
}

std::string DMLocalDriveLuksEncryption::detachedHeader() {
    return wrapper_->detachedHeader(driveObj_->identifier());
}

std::int64_t DMLocalDriveLuksEncryption::waitForTheUser(std::uint64_t delegateAnswer) {
    Clock& clock = Clock::current();
    while (isReady_ && !hasStarted_) {
        clock.sleepFor(seconds(1));
        if (!isContinued_) {
            return 1;
        }
    }
    while (hangup_) {
        clock.sleepFor(seconds(1));
        if (!isContinued_) {
            return 1;
        }
    }
    return isContinued_ ? static_cast<std::int64_t>(delegateAnswer) : 1;
}

void DMLocalDriveLuksEncryption::updateProgressWithStatus(std::int64_t status, std::int64_t total,
                                                          std::int64_t current, std::int64_t error,
                                                          XPCIntReply reply) {
    DMProgressMessage message = DMProgressMessage::fromDaemon(status, total, current, error);
    {
        std::lock_guard lock(mutex_);
        total_ = message.total;
    }
    std::int64_t code = 0;
    if (message.status == DMProgressStatus::finished) {
        // Kept for the last message, which waits for the daemon's answer and its text.
        std::lock_guard lock(mutex_);
        finished_ = message;
    } else if (message.status == DMProgressStatus::initialized) {
        code = goAhead(message);
    } else {
        auto receiver = delegate();
        code = waitForTheUser(receiver ? receiver->encryptionProgress(message) : 0);
    }
    if (reply) {
        reply(code);
    }
}

// The daemon waits here for the go-ahead. It is given only for a recovery key the user has
// had: one the daemon would not hand over is never added.
std::int64_t DMLocalDriveLuksEncryption::goAhead(const DMProgressMessage& message) {
    std::string key = wrapper_->recoveryKey(driveObj_->identifier());
    if (key.empty()) {
        std::lock_guard lock(mutex_);
        keyMissing_ = true;
        return 1;
    }
    setRecoveryKey(key);
    isReady_ = true;
    auto receiver = delegate();
    return waitForTheUser(receiver ? receiver->encryptionProgress(message) : 0);
}

void DMLocalDriveLuksEncryption::continuedWithReply(XPCBoolReply reply) {
    if (reply) {
        reply(isContinued_.load());
    }
}

}  // namespace harbormind
