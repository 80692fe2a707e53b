#include "drivemodel/DMCheckDiskWrapper.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCheckDiskText.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Clock.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/DMCheckStatus.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

bool needsUnmount(DMDriveObjectFilesystem fileSystem) {
    return fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted ||
           fileSystem == DMDriveObjectFilesystem::ntfs;
}

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
    {
        std::lock_guard lock(mutex_);
        localDriveObj_ = drive;
    }
    runEnded_ = false;
    if (!drive) {
        notStarted();
        return;
    }
    if (needsUnmount(drive->fileSystem())) {
        waitForUnmount(drive);
    }
    std::optional<std::string> command = commandFor(drive, repair);
    if (!command) {
        notStarted();
        return;
    }
    runCommand(*command);
}

void DMCheckDiskWrapper::runCommand(const std::string& commandLine) {
    runEnded_ = false;
    auto self = weak_from_this();
    auto proxy = checkDiskXPCObj().remoteObject<DMCheckDiskServerProtocol>([self] {
        if (auto wrapper = self.lock()) {
            wrapper->notStarted();
        }
    });
    if (proxy) {
        // A refused command (a device in use, one the daemon does not accept) streams nothing:
        // the run ends here with checkStop instead of waiting for a stream that never comes.
        proxy->firstAidWithArguments({DMCheckDiskText::commandFlag, commandLine}, [self](bool accepted) {
            auto wrapper = self.lock();
            if (!accepted && wrapper) {
                wrapper->notStarted();
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

void DMCheckDiskWrapper::waitForUnmount(const std::shared_ptr<DMLocalDriveObject>& drive) {
    if (auto manager = std::dynamic_pointer_cast<DMLocalDriveManager>(drive->manager())) {
        manager->unmount(drive, nullptr);
    }
    // A drive that will not unmount is checked anyway after the last look.
    for (int look = 0; look < unmountChecks && drive->isMounted(); ++look) {
        Clock::current().sleepFor(seconds(1));
    }
}

void DMCheckDiskWrapper::updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) {
    bool ended = checkStatus == raw(DMCheckStatus::checkEnd) || checkStatus == raw(DMCheckStatus::checkStop);
    if (ended) {
        runEnded_ = true;
    }
    if (auto receiver = delegate()) {
        receiver->updateUIWithChekcInfo(info, checkStatus);
    }
    if (checkStatus != raw(DMCheckStatus::checkEnd)) {
        return;
    }
    auto drive = localDriveObj();
    auto manager = drive ? std::dynamic_pointer_cast<DMLocalDriveManager>(drive->manager()) : nullptr;
    if (manager) {
        // Mounting runs commands; the daemon's callback thread is not held for it.
        Dispatch::global()->async([manager, drive] { manager->mount(drive, nullptr); });
    }
}

void DMCheckDiskWrapper::notStarted() {
    if (runEnded_.exchange(true)) {
        return;
    }
    Log::warning("First Aid: the check could not be handed to the daemon");
    if (auto receiver = delegate()) {
        receiver->updateUIWithChekcInfo(DMCheckDiskText::notStarted, raw(DMCheckStatus::checkStop));
    }
}

}  // namespace harbormind
