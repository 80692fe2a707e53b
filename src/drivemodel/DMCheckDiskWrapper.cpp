#include "drivemodel/DMCheckDiskWrapper.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCheckDiskText.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/DMCheckStatus.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

std::int64_t raw(DMCheckStatus status) {
    return static_cast<std::int64_t>(status);
}

}  // namespace

DMCheckDiskWrapper::DMCheckDiskWrapper() : bitlockerWapper_(DMBitLockerWrapper::create()) {}

std::shared_ptr<DMCheckDiskWrapper> DMCheckDiskWrapper::create() {
    return std::shared_ptr<DMCheckDiskWrapper>(new DMCheckDiskWrapper());
}

XPCDuplexObject& DMCheckDiskWrapper::checkDiskXPCObj() {
    std::lock_guard lock(mutex_);
    if (!checkDiskXPCObj_) {
        std::weak_ptr<XPCInterface> exported =
            std::static_pointer_cast<DMCheckDiskAppProtocol>(shared_from_this());
        checkDiskXPCObj_ = std::make_unique<XPCDuplexObject>(XPCServiceName::checkDisk, exported);
    }
    return *checkDiskXPCObj_;
}

std::shared_ptr<DMLocalDriveObject> DMCheckDiskWrapper::localDriveObj() const {
    std::lock_guard lock(mutex_);
    return localDriveObj_;
}

std::shared_ptr<DMCheckDiskWrapperDelegate> DMCheckDiskWrapper::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMCheckDiskWrapper::setDelegate(std::weak_ptr<DMCheckDiskWrapperDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

void DMCheckDiskWrapper::check(const std::shared_ptr<DMLocalDriveObject>& drive, bool repair) {
    check(drive, [this, drive, repair] { return commandFor(drive, repair); });
}

void DMCheckDiskWrapper::check(const std::shared_ptr<DMLocalDriveObject>& drive,
                               const std::function<std::optional<std::string>()>& command) {
    auto unmount = std::make_shared<DMFirstAidUnmount>(drive);
    {
        std::lock_guard lock(mutex_);
        localDriveObj_ = drive;
        unmount_ = unmount;
    }
    ++runNumber_;
    runEnded_ = false;
    if (!drive) {
        notStarted();
        return;
    }
    std::optional<std::string> line = command();
    if (!line) {
        notStarted();
        return;
    }
    // The daemon is asked first, so that a check it refuses (the caller not authorized, the
    // device held by something an unmount does not release) leaves the volume as it was.
    if (std::optional<std::string> refusal = daemonRefusal(*line)) {
        Log::warning("First Aid: " + *refusal);
        end(*refusal, raw(DMCheckStatus::checkStop));
        return;
    }
    // Every file system is checked unmounted: a checker on a mounted one reports damage that
    // is not there, and the daemon repairs nothing in use.
    if (std::optional<std::string> reason = unmount->unmount()) {
        Log::warning("First Aid: " + *reason);
        end(*reason, raw(DMCheckStatus::checkStop));
        return;
    }
    runCommand(*line);
}

std::optional<std::string> DMCheckDiskWrapper::daemonRefusal(const std::string& commandLine) {
    // No answer is no: nothing is unmounted for a daemon that does not say yes.
    XPCCodeAnswer answer = waitForDaemon<DMCheckDiskServerProtocol>(
        checkDiskXPCObj(), XPCCodeAnswer{-1, DMCheckDiskText::notStarted}, DaemonCallLimit::administrator,
        "canRunFirstAidWithArguments", [&](DMCheckDiskServerProtocol& proxy, XPCCodeReply reply) {
            proxy.canRunFirstAidWithArguments({DMCheckDiskText::commandFlag, commandLine}, reply);
        });
    if (answer.code == 0) {
        return std::nullopt;
    }
    return answer.message.empty() ? std::string(DMCheckDiskText::notStarted) : answer.message;
}

void DMCheckDiskWrapper::runCommand(const std::string& commandLine) {
    runEnded_ = false;
    // The answers of this request end this run only: a late refusal of an earlier request
    // must not end the next one.
    const std::uint64_t run = ++runNumber_;
    auto self = weak_from_this();
    auto endIfCurrent = [self, run] {
        auto wrapper = self.lock();
        if (wrapper && wrapper->runNumber_ == run) {
            wrapper->notStarted();
        }
    };
    auto proxy = checkDiskXPCObj().remoteObject<DMCheckDiskServerProtocol>(endIfCurrent);
    if (proxy) {
        // A refused command (a device in use, one the daemon does not accept) streams nothing:
        // the run ends here with checkStop instead of waiting for a stream that never comes.
        proxy->firstAidWithArguments({DMCheckDiskText::commandFlag, commandLine}, [endIfCurrent](bool accepted) {
            if (!accepted) {
                endIfCurrent();
            }
        });
    }
}

std::optional<std::string> DMCheckDiskWrapper::commandFor(const std::shared_ptr<DMLocalDriveObject>& drive,
                                                          bool repair) {
    std::string bsdName = drive->identifier();
    switch (drive->fileSystem()) {
        case DMDriveObjectFilesystem::bitlocker_encrypted: {
            std::string contents = bitlockerWapper_->getBitLockerBSDNameWithBsdname(bsdName);
            if (drive->bitLockerFileSystem() == DMDriveObjectFilesystem::ntfs) {
                return shell_.ntfsChecker(contents, repair);
            }
            return shell_.repairVolume(contents);
        }
        case DMDriveObjectFilesystem::ntfs: return shell_.ntfsChecker(bsdName, repair);
        default: return shell_.repairVolume(bsdName);
    }
}

void DMCheckDiskWrapper::updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) {
    if (checkStatus == raw(DMCheckStatus::checkEnd) || checkStatus == raw(DMCheckStatus::checkStop)) {
        end(info, checkStatus);
        return;
    }
    forward(info, checkStatus);
    if (checkStatus == raw(DMCheckStatus::checkStart)) {
        std::shared_ptr<DMFirstAidUnmount> unmount;
        {
            std::lock_guard lock(mutex_);
            unmount = unmount_;
        }
        if (unmount && unmount->unmounted()) {
            forward(unmount->unmountedNote() + "\n", raw(DMCheckStatus::checkRuning));
        }
    }
}

void DMCheckDiskWrapper::forward(const std::string& info, std::int64_t checkStatus) {
    if (auto receiver = delegate()) {
        receiver->updateUIWithChekcInfo(info, checkStatus);
    }
}

void DMCheckDiskWrapper::end(const std::string& info, std::int64_t checkStatus) {
    if (runEnded_.exchange(true)) {
        return;
    }
    std::shared_ptr<DMFirstAidUnmount> unmount;
    {
        std::lock_guard lock(mutex_);
        unmount = std::move(unmount_);
    }
    if (!unmount || !unmount->unmounted()) {
        forward(info, checkStatus);
        return;
    }
    // Mounting runs commands and may ask the daemon: not on the daemon's callback thread.
    // The end reaches the delegate after the drive is back, with a line that says where.
    auto self = shared_from_this();
    Dispatch::global()->async([self, unmount, info, checkStatus] {
        if (std::optional<std::string> line = unmount->mountAgain()) {
            self->forward(*line + "\n", raw(DMCheckStatus::checkRuning));
        }
        self->forward(info, checkStatus);
    });
}

void DMCheckDiskWrapper::notStarted() {
    if (runEnded_) {
        return;
    }
    Log::warning("First Aid: the check could not be handed to the daemon");
    end(DMCheckDiskText::notStarted, raw(DMCheckStatus::checkStop));
}

}  // namespace harbormind
