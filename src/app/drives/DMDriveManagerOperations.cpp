#include "app/drives/DMDriveManagerOperations.h"

#include "cleaning/ClearTools.h"
#include "cleaning/DriveClearTarget.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMCompletionWait.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMLuksWrapper.h"
#include "network/DMNetworkDriveManager.h"
#include "network/LocalDrivePassword.h"
#include "platform/DeviceNaming.h"
#include "platform/DirectoryWalker.h"
#include "platform/FileSystemInfo.h"
#include "platform/PackageManager.h"
#include "platform/Platform.h"
#include "platform/PowerSource.h"
#include "platform/Workspace.h"
#include "usbblocker/USBBlockerSettings.h"

namespace harbormind {
namespace {

std::shared_ptr<DMLocalDriveManager> localManagerOf(const DMDriveOperations::Drive& drive) {
    if (!drive) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<DMLocalDriveManager>(drive->manager());
}

std::shared_ptr<DMNetworkDriveManager> networkManagerOf(const DMDriveOperations::Drive& drive) {
    if (!drive || !std::dynamic_pointer_cast<DMNetworkDriveObject>(drive)) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<DMNetworkDriveManager>(drive->manager());
}

std::shared_ptr<DMLocalDriveManager> registeredLocalManager() {
    return DMDriveManager::shared().manager<DMLocalDriveManager>("");
}

// Runs one of the manager's operations and waits for its completion. The local manager's
// operations complete before they return; the wait is what keeps a completion that comes later
// (it is dropped) or never (a failure saying so) from deciding the answer.
template <typename Operation>
DMOperationResult resultOf(const std::string& what, const DMDriveOperations::Drive& drive,
                           Operation&& operation) {
    return DMCompletionWait::run(what + " of " + drive->identifier(),
                                 seconds(DMLocalDriveManager::diskRequestLimitSeconds),
                                 std::forward<Operation>(operation));
}

template <typename Operation>
int codeOf(const std::string& what, const DMDriveOperations::Drive& drive, Operation&& operation) {
    return static_cast<int>(resultOf(what, drive, std::forward<Operation>(operation)).code);
}

}  // namespace

std::optional<std::string> DMDriveManagerOperations::driveClearPath(const Drive& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    Platform& platform = Platform::current();
    DirectoryWalker* walker = platform.directoryWalker();
    if (!local || walker == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> shown = local->mountPoint();
    local->update();
    if (!shown) {
        return std::nullopt;
    }
    auto verdict = DriveClearTarget::check(*shown, local->mountPoint(), ClearTools::getUserPath(platform.users()),
                                           platform.deviceNaming(), *walker);
    if (verdict != DriveClearTarget::Verdict::allowed) {
        return std::nullopt;
    }
    return DriveClearTarget::normalised(*shown);
}

DMDriveManagerOperations::DMDriveManagerOperations(DMConfigurationManager* configuration)
    : configuration_(configuration) {}

bool DMDriveManagerOperations::isLocalDrive(const Drive& drive) {
    return localManagerOf(drive) != nullptr && std::dynamic_pointer_cast<DMLocalDriveObject>(drive) != nullptr;
}

DMDriveObjectFilesystem DMDriveManagerOperations::fileSystem(const Drive& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    if (!local) {
        return DMDriveObjectFilesystem::unknown;
    }
    local->update();
    return local->fileSystem();
}

std::string DMDriveManagerOperations::name(const Drive& drive) {
    return drive ? drive->name() : std::string();
}

DMDriveObjectFilesystem DMDriveManagerOperations::bitLockerFileSystem(const Drive& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    return local ? local->bitLockerFileSystem() : DMDriveObjectFilesystem::unknown;
}

int DMDriveManagerOperations::open(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? codeOf("the opening", drive, [&](DMCompletion done) { manager->open(drive, done); })
                   : -1;
}

DMOperationResult DMDriveManagerOperations::openWithReason(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? resultOf("the opening", drive, [&](DMCompletion done) { manager->open(drive, done); })
                   : DMOperationResult{};
}

int DMDriveManagerOperations::mount(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? codeOf("the mount", drive, [&](DMCompletion done) { manager->mount(drive, done); }) : -1;
}

int DMDriveManagerOperations::mountAsNTFS(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? static_cast<int>(manager->mountAsNTFS(drive)) : -1;
}

DMOperationResult DMDriveManagerOperations::mountAsNTFSWithReason(const Drive& drive) {
    auto manager = localManagerOf(drive);
    if (!manager) {
        return {};
    }
    XPCCodeAnswer answer = manager->mountAsNTFSWithReason(drive);
    return {static_cast<int>(answer.code), answer.message};
}

DMOperationResult DMDriveManagerOperations::mountWithReason(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? resultOf("the mount", drive, [&](DMCompletion done) { manager->mount(drive, done); })
                   : DMOperationResult{};
}

DMOperationResult DMDriveManagerOperations::unmount(const Drive& drive, DMUnmountOption option) {
    auto manager = localManagerOf(drive);
    return manager ? resultOf("the unmount", drive,
                              [&](DMCompletion done) { manager->unmount(drive, option, done); })
                   : DMOperationResult{};
}

DMOperationResult DMDriveManagerOperations::eject(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? resultOf("the eject", drive, [&](DMCompletion done) { manager->eject(drive, done); })
                   : DMOperationResult{};
}

int DMDriveManagerOperations::lock(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? codeOf("the lock", drive, [&](DMCompletion done) { manager->lock(drive, done); }) : -1;
}

int DMDriveManagerOperations::unlock(const Drive& drive, const std::string& password) {
    auto manager = localManagerOf(drive);
    return manager ? codeOf("the unlock", drive,
                            [&](DMCompletion done) { manager->unlock(drive, password, false, done); })
                   : -1;
}

DMOperationResult DMDriveManagerOperations::unlockWithReason(const Drive& drive, const std::string& password) {
    auto manager = localManagerOf(drive);
    if (!manager) {
        return {-1, {}};
    }
    return resultOf("the unlock", drive,
                    [&](DMCompletion done) { manager->unlock(drive, password, false, done); });
}

std::optional<std::string> DMDriveManagerOperations::rememberedPassword(const Drive& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    return local ? LocalDrivePassword::password(*local) : std::nullopt;
}

void DMDriveManagerOperations::rememberPassword(const Drive& drive, const std::optional<std::string>& password) {
    if (auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive)) {
        LocalDrivePassword::setPassword(*local, password);
    }
}

bool DMDriveManagerOperations::isUSBBlockerOn() {
    return USBBlockerSettings::current().isOn();
}

std::shared_ptr<DMLocalDriveEncryptable> DMDriveManagerOperations::encryptor(const Drive& drive,
                                                                            DMEncryptorRefusal* refusal) {
    auto manager = localManagerOf(drive);
    if (!manager) {
        return DMDriveOperations::encryptor(drive, refusal);
    }
    return manager->encryptor(drive, refusal);
}

DMEncryptorRefusal DMDriveManagerOperations::encryptionRefusal(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? manager->encryptionRefusal(drive) : DMEncryptorRefusal::unsupportedFileSystem;
}

std::string DMDriveManagerOperations::detachedHeader(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager && drive ? manager->luksWrapper()->detachedHeader(drive->identifier()) : std::string();
}

bool DMDriveManagerOperations::hasExternalPowerAdapter() {
    return Platform::current().powerSource().hasExternalAdapter();
}

int DMDriveManagerOperations::accessMode(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager ? manager->accessMode(drive) : 2;
}

bool DMDriveManagerOperations::hasHibernationFile(const Drive& drive) {
    auto manager = localManagerOf(drive);
    return manager && manager->hasHibernationFile(drive);
}

void DMDriveManagerOperations::setIgnoreHibernateFile(bool ignore) {
    if (auto manager = registeredLocalManager()) {
        manager->setIgnoreHibernateFile(ignore);
    }
}

std::vector<DMDriveOperations::Drive> DMDriveManagerOperations::externalRootDrives() {
    std::vector<Drive> drives;
    auto manager = registeredLocalManager();
    if (!manager) {
        return drives;
    }
    for (const auto& drive : manager->rootObjs()) {
        auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
        if (local && local->location() == DMDriveObjectLocation::external) {
            drives.push_back(drive);
        }
    }
    return drives;
}

std::vector<DMDriveOperations::Drive> DMDriveManagerOperations::lockableDrives() {
    std::vector<Drive> drives;
    auto manager = registeredLocalManager();
    if (!manager) {
        return drives;
    }
    for (const auto& [identifier, drive] : manager->driveObjs()) {
        auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
        if (local && local->canLock()) {
            drives.push_back(drive);
        }
    }
    return drives;
}

bool DMDriveManagerOperations::isDriverInstalled() {
    return Platform::current().isNtfsDriverInstalled();
}

bool DMDriveManagerOperations::canInstallDriver() {
    return Platform::current().packageManager() != nullptr;
}

void DMDriveManagerOperations::installDriver() {
    if (PackageManager* packages = Platform::current().packageManager()) {
        packages->install(packages->ntfsDriverPackage());
    }
}

bool DMDriveManagerOperations::ignoreHibernationFileWhenMountingNtfsDrives() {
    return configuration_ == nullptr || configuration_->ignoreHibernationFileWhenMountingNtfsDrives();
}

void DMDriveManagerOperations::openURL(const std::string& url) {
    Platform::current().workspace().openURL(url);
}

bool DMDriveManagerOperations::isNetworkDrive(const Drive& drive) {
    return networkManagerOf(drive) != nullptr;
}

void DMDriveManagerOperations::connect(const Drive& drive, std::function<void(int code)> done) {
    auto manager = networkManagerOf(drive);
    if (!manager) {
        done(-1);
        return;
    }
    manager->mount(drive, [done](int code, std::optional<std::string>) { done(code); });
}

void DMDriveManagerOperations::connectWithReason(const Drive& drive, std::function<void(DMOperationResult)> done) {
    auto manager = networkManagerOf(drive);
    if (!manager) {
        done({});
        return;
    }
    manager->mount(drive, [done](int code, std::optional<std::string> message) { done({code, message.value_or("")}); });
}

void DMDriveManagerOperations::disconnect(const Drive& drive, std::function<void(int code)> done) {
    auto manager = networkManagerOf(drive);
    if (!manager) {
        done(-1);
        return;
    }
    manager->unmount(drive, [done](int code, std::optional<std::string>) { done(code); });
}

void DMDriveManagerOperations::openNetworkDrive(const Drive& drive) {
    if (auto manager = networkManagerOf(drive)) {
        manager->open(drive, nullptr);
    }
}

void DMDriveManagerOperations::removeNetworkDrive(const Drive& drive) {
    auto manager = networkManagerOf(drive);
    auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
    if (manager && network) {
        manager->remove(network);
    }
}

std::vector<DMDriveOperations::Drive> DMDriveManagerOperations::networkDrives() {
    auto manager = DMDriveManager::shared().manager<DMNetworkDriveManager>("");
    return manager ? manager->rootObjs() : std::vector<Drive>{};
}

bool DMDriveManagerOperations::automaticallyOpenDrivesAfterConnecting() {
    return configuration_ == nullptr || configuration_->automaticallyOpenDrivesAfterConnecting();
}

bool DMDriveManagerOperations::automaticallyOpenDrivesAfterUnlocking() {
    return configuration_ == nullptr || configuration_->automaticallyOpenDrivesAfterUnlocking();
}

DMDriveOperations::Drive DMDriveManagerOperations::localDriveWithIdentifier(const std::string& identifier) {
    auto manager = registeredLocalManager();
    if (!manager) {
        return nullptr;
    }
    auto drives = manager->driveObjs();
    auto found = drives.find(identifier);
    return found == drives.end() ? nullptr : found->second;
}

bool DMDriveManagerOperations::isMounted(const Drive& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    if (!local) {
        return false;
    }
    if (local->isMounted()) {
        return true;
    }
    for (const auto& [identifier, child] : local->children()) {
        if (isMounted(child)) {
            return true;
        }
    }
    return false;
}

}  // namespace harbormind
