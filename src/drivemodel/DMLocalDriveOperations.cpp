// The drive operations of DMLocalDriveManager: they run on the caller's thread and block it.
#include "drivemodel/DMApfsWrapper.h"
#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCommandLine.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMLocalDriveText.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "platform/CommandTable.h"
#include "platform/FileSystemInfo.h"
#include "platform/ProcessLauncher.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"
#include "support/ReplyWait.h"

namespace harbormind {
namespace {

void complete(const DMCompletion& completion, int code) {
    if (completion) {
        completion(code, std::nullopt);
    }
}

// A lock or unlock has ended: the object reads its new state, the window hears of it, and
// the caller gets the code, with the reason when it failed.
void finishChange(const std::shared_ptr<DMDriveManagerDelegateProtocol>& receiver,
                  const std::shared_ptr<DMLocalDriveObject>& object, int code,
                  const std::optional<std::string>& reason, const DMCompletion& completion) {
    object->update();
    if (receiver) {
        receiver->driveChanged(object);
    }
    if (completion) {
        completion(code, code == 0 ? std::nullopt : reason);
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

// The mount helper's exit status for a key that opens nothing (the daemon's code for it).
constexpr int wrongKeyStatus = 2;
// The daemon's code for a system without device-mapper, which opening a volume needs.
constexpr int noDeviceMapperCode = 19;

// A failed program's reason: the last line it wrote to standard error, without the program's
// name, which programs start their error lines with (the user needs only the reason).
std::string reasonFrom(std::string text, const std::string& program) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (auto line = text.rfind('\n'); line != std::string::npos) {
        text = text.substr(line + 1);
    }
    const std::string prefix = program.substr(program.rfind('/') + 1) + ": ";
    if (text.rfind(prefix, 0) == 0) {
        text = text.substr(prefix.size());
    }
    return text;
}

// Runs the platform's LUKS program (the passphrase, when given, on its standard input) and
// gives its exit status (0 done, -1 when it could not be started). A failure's reason is its
// last line of standard error, except for a wrong key, which needs no words.
int runLUKS(const std::optional<ProgramCall>& call, const std::optional<std::string>& passphrase,
            std::optional<std::string>& reason) {
    if (!call) {
        reason = "encrypted LUKS volumes are not supported on this platform";
        return -1;
    }
    ProcessResult result = Platform::current().processes().run(call->program, call->arguments, passphrase);
    if (result.launched && result.exitStatus == 0) {
        return 0;
    }
    if (result.launched && result.exitStatus == wrongKeyStatus && passphrase) {
        return wrongKeyStatus;
    }
    std::string text = result.launched ? reasonFrom(result.standardError, call->program)
                                       : call->program + " could not be started";
    reason = text.empty() ? std::optional<std::string>("exit status " + std::to_string(result.exitStatus)) : text;
    return result.launched && result.exitStatus != 0 ? result.exitStatus : -1;
}

void completeWith(const DMCompletion& completion, const std::optional<DADissenter>& failure) {
    if (!completion) {
        return;
    }
    if (!failure) {
        completion(0, std::nullopt);
        return;
    }
    int code = failure->status == DADissenter::busy ? DMLocalDriveManager::busyCode : -1;
    completion(code, failure->statusString);
}

}  // namespace

void DMLocalDriveManager::mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    object->update();
    std::optional<DADisk> disk = daSession_ ? daSession_->diskFromBSDName(operationName(*object)) : std::nullopt;
    if (!disk) {
        if (completion) {
            completion(-1, DMLocalDriveText::diskGone);
        }
        return;
    }
    // The session's request, waited for: whoever mounts (the daemon for a user, root itself)
    // words the reason of a failure, and it reaches the caller unchanged.
    auto session = daSession_;
    std::optional<DADissenter> failure = awaitDiskRequest(
        "the mount of " + disk->bsdName(), [&](DiskArbitrationSession::CompletionCallback done) {
            session->mount(*disk, std::nullopt, DiskArbitrationSession::mountDefault, std::move(done));
        });
    if (completion) {
        completion(failure ? -1 : 0, failure ? std::optional<std::string>(failure->statusString) : std::nullopt);
    }
}

// The completion shares its state with the wait: one that comes after the time limit (the
// caller has been answered and its frame is gone) is dropped.
std::optional<DADissenter> DMLocalDriveManager::awaitDiskRequest(
    const std::string& what,
    const std::function<void(DiskArbitrationSession::CompletionCallback)>& request) const {
    using Answer = std::optional<DADissenter>;
    const std::string noAnswer = "no answer to " + what + " within " +
                                 std::to_string(static_cast<int>(diskRequestLimitSeconds)) + " s";
    ReplyWait<Answer> wait(DADissenter{DADissenter::error, noAnswer});
    auto reply = wait.replyHandler();
    request([reply](const DADisk&, std::optional<DADissenter> dissenter) { reply(std::move(dissenter)); });
    return wait.wait(seconds(diskRequestLimitSeconds), what);
}

std::optional<DADissenter> DMLocalDriveManager::unmountOne(const std::shared_ptr<DMLocalDriveObject>& object,
                                                           DMUnmountOption option) {
    object->update();
    if (!daSession_) {
        return DADissenter{DADissenter::error, "disk arbitration is not available"};
    }
    std::optional<DADisk> disk = daSession_->diskFromBSDName(operationName(*object));
    if (!disk) {
        return std::nullopt;
    }
    // One request, waited for: a plain unmount unless the user forced it, covering the
    // volumes of a whole disk when the object is one.
    std::uint32_t options = option == DMUnmountOption::force ? DiskArbitrationSession::unmountForce
                                                             : DiskArbitrationSession::unmountDefault;
    if (object->isWhole()) {
        options |= DiskArbitrationSession::unmountWhole;
    }
    auto session = daSession_;
    return awaitDiskRequest("the unmount of " + disk->bsdName(),
                            [&](DiskArbitrationSession::CompletionCallback done) {
                                session->unmount(*disk, options, std::move(done));
                            });
}

void DMLocalDriveManager::unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    unmount(std::move(drive), DMUnmountOption::plain, std::move(completion));
}

void DMLocalDriveManager::unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMUnmountOption option,
                                  DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    std::optional<DADissenter> failure;
    auto note = [&failure](std::optional<DADissenter> result) {
        if (!result) {
            return;
        }
        if (!failure) {
            failure = std::move(result);
        } else {
            failure->statusString += "; " + result->statusString;
            if (result->status == DADissenter::busy) {
                failure->status = DADissenter::busy;
            }
        }
    };
    auto logical = std::dynamic_pointer_cast<DMLocalDriveObject>(object->logicalDriveObj());
    if (logical && logical->hasChildren()) {
        for (const auto& [key, child] : logical->children()) {
            if (auto childLogical = std::dynamic_pointer_cast<DMLocalDriveObject>(child->logicalDriveObj())) {
                note(unmountOne(childLogical, option));
            }
        }
    } else {
        note(unmountOne(object, option));
    }
    completeWith(completion, failure);
}

void DMLocalDriveManager::open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    std::optional<std::string> path = object->mountPoint();
    if (!path) {
        if (completion) {
            completion(-1, DMLocalDriveText::notMounted);
        }
        return;
    }
    Workspace& workspace = Platform::current().workspace();
    if (workspace.openFolder(*path)) {
        complete(completion, 0);
        return;
    }
    // The path stays in the message, for the user to open by other means.
    if (completion) {
        std::string reason = workspace.openingUnavailableReason().value_or(DMLocalDriveText::noFileManager);
        completion(-1, reason + "; the volume is mounted at " + *path);
    }
}

void DMLocalDriveManager::eject(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    std::optional<DADisk> disk =
        object && daSession_ ? daSession_->diskFromBSDName(object->identifier()) : std::nullopt;
    if (!disk) {
        complete(completion, -1);
        return;
    }
    auto session = daSession_;
    std::optional<DADissenter> failure = awaitDiskRequest(
        "the eject of " + disk->bsdName(), [&](DiskArbitrationSession::CompletionCallback done) {
            session->eject(*disk, DiskArbitrationSession::ejectDefault, std::move(done));
        });
    // The platform's own eject line, where it has one, follows an eject that happened.
    if (!failure) {
        DMCommandLine::run(Platform::current().commands().ejectDisk(object->identifier()));
    }
    completeWith(completion, failure);
}

void DMLocalDriveManager::lock(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    object->update();
    bool locked = false;
    std::optional<std::string> reason;
    switch (object->fileSystem()) {
        case DMDriveObjectFilesystem::luks:
            locked = runLUKS(Platform::current().commands().lockLUKSVolume(object->identifier()), std::nullopt,
                             reason) == 0;
            break;
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
    finishChange(delegate(), object, locked ? 0 : -1, reason, completion);
}

void DMLocalDriveManager::unlock(std::shared_ptr<DMDriveObjectProtocol> drive, const std::string& password,
                                 bool readOnly, DMCompletion completion) {
    auto object = asLocal(drive);
    if (!object) {
        complete(completion, -1);
        return;
    }
    object->update();
    int code = -1;
    std::optional<std::string> reason;
    switch (object->fileSystem()) {
        case DMDriveObjectFilesystem::luks:
            if (!password.empty()) {
                code = runLUKS(Platform::current().commands().unlockLUKSVolume(object->identifier()), password,
                               reason) == 0 ? 0 : -1;
            }
            break;
        case DMDriveObjectFilesystem::apfs_encrypted:
            if (!password.empty()) {
                code = DMApfsWrapper::unlock(object->identifier(), password);
                mount(object, nullptr);
            }
            break;
        case DMDriveObjectFilesystem::corestorage:
            code = corestorageWrapper_->unlock(object->identifier(), password);
            break;
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            code = static_cast<int>(
                bitlockerWrapper_->unlockBitLockerDriveWithBsdname(object->identifier(), password, readOnly));
            if (code == noDeviceMapperCode) {
                reason = "this system cannot open encrypted volumes: the kernel's device-mapper is missing";
            }
            break;
        default:
            break;
    }
    finishChange(delegate(), object, code, reason, completion);
}

std::int64_t DMLocalDriveManager::mountAsNTFS(std::shared_ptr<DMDriveObjectProtocol> drive) {
    return mountAsNTFSWithReason(std::move(drive)).code;
}

XPCCodeAnswer DMLocalDriveManager::mountAsNTFSWithReason(std::shared_ptr<DMDriveObjectProtocol> drive) {
    auto object = asLocal(drive);
    if (!object) {
        return {-1, {}};
    }
    return ntfsWrapper_->mountNTFSVolumeWithBsdName(operationName(*object));
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
