// The drive operations of DMLocalDriveManager: they run on the caller's thread and block it.
#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCommandLine.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMLocalDriveText.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "platform/CommandTable.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"

namespace harbormind {
namespace {

void complete(const DMCompletion& completion, int code) {
    if (completion) {
        completion(code, std::nullopt);
    }
}

std::shared_ptr<DMLocalDriveObject> asLocal(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    return std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
}

// The name a volume operation addresses: for a BitLocker volume the device carrying its
// contents, otherwise the identifier.
std::string operationName(const DMLocalDriveObject& object) {
    return object.effectiveBSDName();
}

void ignoreCompletion(const DADisk&, std::optional<DADissenter>) {}

}  // namespace

void DMLocalDriveManager::mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    object->update();
    DMCommandOutput output = DMCommandLine::run(Platform::current().commands().mountVolume(operationName(*object)));
    complete(completion, output.standardOutput.empty() ? -1 : 0);
}

void DMLocalDriveManager::unmountOne(const std::shared_ptr<DMLocalDriveObject>& object) {
    object->update();
    if (!daSession_) {
        return;
    }
    std::optional<DADisk> disk = daSession_->diskFromBSDName(operationName(*object));
    if (!disk) {
        return;
    }
    daSession_->unmount(*disk, DiskArbitrationSession::unmountForce, ignoreCompletion);
    daSession_->unmount(*disk, DiskArbitrationSession::unmountWhole, ignoreCompletion);
}

void DMLocalDriveManager::unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    auto logical = std::dynamic_pointer_cast<DMLocalDriveObject>(object->logicalDriveObj());
    if (logical && logical->hasChildren()) {
        for (const auto& [key, child] : logical->children()) {
            if (auto childLogical = std::dynamic_pointer_cast<DMLocalDriveObject>(child->logicalDriveObj())) {
                unmountOne(childLogical);
            }
        }
    } else {
        unmountOne(object);
    }
    complete(completion, 0);
}

void DMLocalDriveManager::open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        return;
    }
    std::optional<std::string> path = object->mountPoint();
    if (!path) {
        complete(completion, -1);
        return;
    }
    complete(completion, Platform::current().workspace().openFolder(*path) ? 0 : -1);
}

void DMLocalDriveManager::eject(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    std::optional<DADisk> disk =
        object && daSession_ ? daSession_->diskFromBSDName(object->identifier()) : std::nullopt;
    if (!disk) {
        complete(completion, -1);
        return;
    }
    daSession_->eject(*disk, DiskArbitrationSession::ejectDefault, ignoreCompletion);
    DMCommandLine::run(Platform::current().commands().ejectDisk(object->identifier()));
    complete(completion, 0);
}

void DMLocalDriveManager::lock(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        return;
    }
    object->update();
    bool locked = false;
    switch (object->fileSystem()) {
        case DMDriveObjectFilesystem::apfs_encrypted: {
            DMCommandOutput output =
                DMCommandLine::run(Platform::current().commands().lockVolume(object->identifier()));
            locked = !output.standardError && !output.standardOutput.empty();
            break;
        }
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            locked = bitlockerWrapper_->lockBitLockerDriveWithBsdname(object->identifier());
            break;
        default:
            break;
    }
    object->update();
    if (auto receiver = delegate()) {
        receiver->driveChanged(object);
    }
    complete(completion, locked ? 0 : -1);
}

void DMLocalDriveManager::unlock(std::shared_ptr<DMDriveObjectProtocol> drive, const std::string& password,
                                 bool readOnly, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        return;
    }
    object->update();
    int code = -1;
    switch (object->fileSystem()) {
        case DMDriveObjectFilesystem::apfs_encrypted:
            if (!password.empty()) {
                DMCommandOutput output = DMCommandLine::run(
                    Platform::current().commands().unlockVolume(object->identifier(), password));
                if (!output.standardOutput.empty()) {
                    bool incorrect = output.standardError &&
                                     output.standardError->find("incorrect") != std::string::npos;
                    code = incorrect ? -1 : 0;
                }
                mount(object, nullptr);
            }
            break;
        case DMDriveObjectFilesystem::corestorage:
            code = corestorageWrapper_->unlock(object->identifier(), password);
            break;
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            code = static_cast<int>(
                bitlockerWrapper_->unlockBitLockerDriveWithBsdname(object->identifier(), password, readOnly));
            break;
        default:
            break;
    }
    object->update();
    if (auto receiver = delegate()) {
        receiver->driveChanged(object);
    }
    complete(completion, code);
}

std::int64_t DMLocalDriveManager::mountAsNTFS(std::shared_ptr<DMDriveObjectProtocol> drive) {
    auto object = asLocal(drive);
    if (!object) {
        return -1;
    }
    return ntfsWrapper_->mountAsNTFSNativelyWithBsdName(operationName(*object));
}

bool DMLocalDriveManager::areKernelExtensionsAllowed() {
    if (!bitlockerWrapper_->isBitLockerKextAllowed()) {
        return false;
    }
    return ntfsWrapper_->isNtfsKextAllowed();
}

void DMLocalDriveManager::setIgnoreHibernateFile(bool flag) {
    ntfsWrapper_->setIgnoreHibernateFileWithFlag(flag);
}

void DMLocalDriveManager::setNtfsDebugLogging(bool flag) {
    ntfsWrapper_->setEnableDebugLoggingWithFlag(flag);
}

bool DMLocalDriveManager::hasHibernationFile(std::shared_ptr<DMDriveObjectProtocol> drive) {
    auto object = asLocal(drive);
    std::optional<std::string> path = object ? object->mountPoint() : std::nullopt;
    if (!path) {
        return false;
    }
    std::string folder = *path;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return Platform::current().fileSystem().exists(folder + DMLocalDriveText::hibernationFile);
}

int DMLocalDriveManager::accessMode(std::shared_ptr<DMDriveObjectProtocol> drive) {
    auto object = asLocal(drive);
    std::optional<std::string> path = object ? object->mountPoint() : std::nullopt;
    if (!path) {
        return 2;
    }
    FileSystemInfo& files = Platform::current().fileSystem();
    if (!files.isReadable(*path)) {
        return 2;
    }
    return files.isWritable(*path) ? 1 : 0;
}

bool DMLocalDriveManager::hasFullDiskAccess() {
    UserDatabase& users = Platform::current().users();
    std::string home = users.environment("APP_SANDBOX_CONTAINER_ID") ? users.currentUserHome().value_or("/")
                                                                      : users.processHome();
    if (home.empty() || home.back() != '/') {
        home += '/';
    }
    std::string probe = Platform::current().workspace().fullDiskAccessProbeFolder(home);
    return Platform::current().fileSystem().canListFolder(probe);
}

void DMLocalDriveManager::openFullDiskAccessSettings() {
    Workspace& workspace = Platform::current().workspace();
    workspace.openURL(workspace.fullDiskAccessSettingsURL());
}

void DMLocalDriveManager::openSecuritySettings() {
    Workspace& workspace = Platform::current().workspace();
    workspace.openURL(workspace.securitySettingsURL());
}

void DMLocalDriveManager::openURL(const std::string& url) {
    Platform::current().workspace().openURL(url);
}

}  // namespace harbormind
