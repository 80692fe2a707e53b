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
    XPCCodeAnswer answer;
    if (needResume()) {
        // A resumed job has no go-ahead to wait for.
        isReady_ = true;
        hasStarted_ = true;
        answer = wrapper_->resume(name, *secret);
    } else {
        answer = wrapper_->encrypt(name, *secret, inFront_);
    }
    std::lock_guard lock(mutex_);
    outcome_ = std::move(answer);
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
    if (message.status == DMProgressStatus::finished) {
        std::weak_ptr<DMLocalDriveObject> drive = driveObj_;
        Dispatch::global()->async([drive] {
            if (auto object = drive.lock()) {
                object->update();
            }
        });
    }
    std::uint64_t answer = 0;
    if (auto receiver = delegate()) {
        answer = receiver->encryptionProgress(message);
    }
    // A resumed job has no `initialized`: its new recovery key is fetched at its first report.
    bool fresh = message.status == DMProgressStatus::initialized;
    if (fresh || (message.status == DMProgressStatus::running && !recoveryKey())) {
        std::string key = wrapper_->recoveryKey(driveObj_->identifier());
        setRecoveryKey(key.empty() ? std::nullopt : std::optional<std::string>(key));
    }
    if (fresh) {
        isReady_ = true;
    }
    std::int64_t code = message.status == DMProgressStatus::finished ? static_cast<std::int64_t>(answer)
                                                                     : waitForTheUser(answer);
    if (reply) {
        reply(code);
    }
}

void DMLocalDriveLuksEncryption::continuedWithReply(XPCBoolReply reply) {
    if (reply) {
        reply(isContinued_.load());
    }
}

}  // namespace harbormind
