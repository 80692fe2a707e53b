#include "network/DMNetworkDriveManager.h"

#include <algorithm>

#include "network/DriveKeychains.h"
#include "network/Keychains.h"
#include "network/NetworkDriveConnection.h"
#include "network/NetworkDriveList.h"
#include "network/NetworkDriveListChange.h"
#include "network/NetworkDrivePath.h"
#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "support/Timer.h"

namespace harbormind {
namespace {

// How long a volume that appeared is left to settle before it is taken up.
constexpr Clock::Duration volumeSettleTime = seconds(2);
// How often the saved-drives file is read again for changes made by other programs.
constexpr Clock::Duration savedDrivesPollInterval = seconds(1);

void complete(const DMCompletion& completion, int status) {
    if (completion) {
        completion(status, std::nullopt);
    }
}

bool isNetworkVolumeKind(const std::string& kind) {
    return kind == "nfs" || kind == "smbfs" || kind == "afpfs";
}

}  // namespace

DMNetworkDriveManager::DMNetworkDriveManager()
    : mounter_(Platform::current().networkMounter()),
      file_(NetworkDrivePath::join(DriveKeychains::homeDirectory(), savedDrivesFileName)) {}

DMNetworkDriveManager::~DMNetworkDriveManager() {
    // Detaches the volume callbacks and stops following the saved-drives file.
    watch_.reset();
    if (fileTimer_) {
        fileTimer_->invalidate();
    }
}

std::shared_ptr<DMNetworkDriveManager> DMNetworkDriveManager::create(
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) {
    std::shared_ptr<DMNetworkDriveManager> manager(new DMNetworkDriveManager());
    manager->delegate_ = std::move(delegate);
    manager->load();
    if (auto target = manager->delegate()) {
        for (const DriveRef& drive : manager->roots()) {
            target->driveAdded(drive);
        }
    }
    return manager;
}

std::shared_ptr<DMDriveManagerDelegateProtocol> DMNetworkDriveManager::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMNetworkDriveManager::setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

DMDriveManagerProtocol::DriveMap DMNetworkDriveManager::driveObjs() const {
    std::lock_guard lock(mutex_);
    return driveObjs_;
}

void DMNetworkDriveManager::setDriveObjs(DriveMap driveObjs) {
    std::lock_guard lock(mutex_);
    driveObjs_ = std::move(driveObjs);
}

DMDriveManagerProtocol::DriveList DMNetworkDriveManager::rootObjs() const {
    auto drives = drives_.all();
    return DriveList(drives.begin(), drives.end());
}

void DMNetworkDriveManager::setRootObjs(DriveList rootObjs) {
    std::vector<DriveRef> drives;
    for (auto& drive : rootObjs) {
        if (auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive)) {
            drives.push_back(std::move(network));
        }
    }
    drives_.set(std::move(drives));
}

std::vector<DMNetworkDriveManager::DriveRef> DMNetworkDriveManager::roots() const {
    return drives_.all();
}

std::string DMNetworkDriveManager::filter() const {
    std::lock_guard lock(mutex_);
    return filter_;
}

void DMNetworkDriveManager::setFilter(std::string filter) {
    std::lock_guard lock(mutex_);
    filter_ = std::move(filter);
}

bool DMNetworkDriveManager::isRunning() const {
    std::lock_guard lock(mutex_);
    return isRunning_;
}

bool DMNetworkDriveManager::savedDrivesFileDamaged() const {
    return file_.damaged();
}

std::optional<std::string> DMNetworkDriveManager::lastSaveProblem() const {
    std::lock_guard lock(mutex_);
    return saveProblem_;
}

std::string DMNetworkDriveManager::savedDrivesPath() const {
    return file_.path();
}

void DMNetworkDriveManager::start() {
    {
        std::lock_guard lock(mutex_);
        if (!mounter_ || isRunning_) {
            return;
        }
        isRunning_ = true;
    }
    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    auto appeared = [weakSelf](const NetworkVolume& volume) {
        if (!isNetworkVolumeKind(volume.kind) || volume.mountPoint.empty()) {
            return;
        }
        Dispatch::mainQueue()->asyncAfter(volumeSettleTime, [weakSelf, volume] {
            if (auto self = weakSelf.lock()) {
                self->volumeAppeared(volume);
            }
        });
    };
    auto disappeared = [weakSelf](const NetworkVolume& volume) {
        Dispatch::mainQueue()->async([weakSelf, volume] {
            if (auto self = weakSelf.lock()) {
                self->volumeDisappeared(volume);
            }
        });
    };
    auto watch = mounter_->watchVolumes(Dispatch::global(), appeared, disappeared);
    // Another program (harbormindctl) may add, change or remove saved drives: the file is
    // read again once a second, away from the main queue, and followed when it changed.
    auto timer = Timer::scheduled(Dispatch::global(), savedDrivesPollInterval, TimerRepeat::Repeating, [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->checkSavedDrivesFile();
        }
    });
    std::lock_guard lock(mutex_);
    watch_ = std::move(watch);
    fileTimer_ = std::move(timer);
}

std::shared_ptr<DMNetworkDriveObject> DMNetworkDriveManager::makeDriveObject(std::optional<DMNetworkDriveType> type) {
    auto drive = std::make_shared<DMNetworkDriveObject>(weak_from_this());
    drive->setScheme(networkDriveScheme(type));
    return drive;
}

bool DMNetworkDriveManager::contains(const DMNetworkDriveObject& drive) const {
    return drives_.find(drive) != nullptr;
}

void DMNetworkDriveManager::add(std::shared_ptr<DMNetworkDriveObject> drive) {
    drives_.append(std::move(drive));
    write(Change::ByUser);
}

void DMNetworkDriveManager::saveWithoutConnecting(const DriveRef& drive, const DriveRef& replacing) {
    if (replacing) {
        remove(replacing);
    }
    drive->setSaved(true);
    DriveRef listed = drives_.find(*drive);
    if (!listed) {
        add(drive);
        if (auto target = delegate()) {
            target->driveAdded(drive);
        }
        return;
    }
    // The same drive is listed already (connected, or saved twice): it takes the new name and password.
    listed->setSaved(true);
    listed->setName(drive->name());
    listed->setPassword(drive->password());
    write(Change::ByUser);
    if (auto target = delegate()) {
        target->driveChanged(listed);
    }
}

void DMNetworkDriveManager::remove(const std::shared_ptr<DMNetworkDriveObject>& drive) {
    NetworkDriveList::Removal removal = drives_.removeEqual(*drive);
    if (!removal.removed) {
        return;
    }
    write(Change::ByUser);
    // A password nobody can use any more is not kept.
    if (removal.removed->saved() && !removal.identityStillUsed) {
        if (Keychains* passwords = keychain()) {
            passwords->deleteKey(removal.removed->urlIdentity());
        }
    }
    if (auto target = delegate()) {
        target->driveRemoved(drive);
    }
}

void DMNetworkDriveManager::save() {
    write(Change::ByUser);
}

Keychains* DMNetworkDriveManager::keychain() {
    std::lock_guard lock(keychainMutex_);
    if (!keychain_) {
        keychain_ = std::make_unique<Keychains>(DriveKeychains::keyPrefix, DriveKeychains::network());
    }
    return keychain_.get();
}

std::shared_ptr<DMNetworkDriveObject> DMNetworkDriveManager::savedDrive(const NetworkDriveRecord& record) {
    auto drive = makeDriveObject();
    drive->setName(record.name);
    drive->setScheme(record.scheme);
    drive->setHost(record.host);
    drive->setUserName(record.userName);
    drive->setDir(record.dir);
    drive->setSaved(true);
    // The file keeps no guest flag; a drive saved without an account can only be a guest
    // drive, and must stay equal to the guest volume it mounts.
    drive->setAnonymous(record.userName.empty());
    drive->refreshIdentifier();
    return drive;
}

void DMNetworkDriveManager::load() {
    std::optional<NetworkDriveArchive::Contents> contents = file_.load();
    if (!contents) {
        return;
    }
    std::vector<DriveRef> loaded;
    for (const NetworkDriveRecord& record : contents->drives) {
        loaded.push_back(savedDrive(record));
    }
    readPasswords(loaded);
    drives_.append(loaded);
}

void DMNetworkDriveManager::readPasswords(const std::vector<DriveRef>& drives) {
    if (drives.empty()) {
        return;
    }
    Keychains* passwords = keychain();
    for (const DriveRef& drive : drives) {
        drive->setPassword(passwords->getString(drive->identifier()));
    }
}

void DMNetworkDriveManager::checkSavedDrivesFile() {
    std::optional<SavedNetworkDrivesFile::Reading> reading = file_.poll();
    if (!reading) {
        return;
    }
    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    Dispatch::mainQueue()->async([weakSelf, reading = *reading] {
        if (auto self = weakSelf.lock()) {
            self->followSavedDrivesFile(reading);
        }
    });
}

void DMNetworkDriveManager::followSavedDrivesFile(const SavedNetworkDrivesFile::Reading& reading) {
    std::optional<NetworkDriveArchive::Contents> contents = file_.follow(reading);
    if (!contents) {
        return;
    }
    std::vector<DriveRef> saved;
    for (const NetworkDriveRecord& record : contents->drives) {
        saved.push_back(savedDrive(record));
    }
    auto [added, changed, removed] = NetworkDriveListChange::follow(roots(), saved);
    readPasswords(added);
    drives_.append(added);
    drives_.remove(removed);
    auto target = delegate();
    if (!target) {
        return;
    }
    for (const DriveRef& drive : removed) {
        target->driveRemoved(drive);
    }
    for (const DriveRef& drive : changed) {
        target->driveChanged(drive);
    }
    for (const DriveRef& drive : added) {
        target->driveAdded(drive);
    }
}

void DMNetworkDriveManager::write(Change change) {
    if (!file_.makeWritable(change)) {
        return;
    }
    std::vector<DriveRef> saved = drives_.saved();
    {
        std::lock_guard lock(mutex_);
        saveProblem_.reset();
    }
    std::vector<NetworkDriveRecord> records;
    for (const DriveRef& drive : saved) {
        records.push_back({drive->name(), drive->scheme(), drive->host(), drive->userName(), drive->dir()});
    }
    file_.write(records);
    storePasswords(saved);
}

void DMNetworkDriveManager::storePasswords(const std::vector<DriveRef>& saved) {
    if (saved.empty()) {
        return;
    }
    Keychains* passwords = keychain();
    for (const DriveRef& drive : saved) {
        // Stored under the identity that loading recomputes, whatever the identifier is now.
        bool stored = passwords->setString(drive->password(), drive->urlIdentity(),
                                           KeychainsAccessOptions::accessibleWhenUnlockedAlways);
        if (!stored && drive->password()) {
            std::string problem = "The password of " + drive->urlIdentity() + " could not be stored in " +
                                  DriveKeychains::network().path() + " (keychain status " +
                                  std::to_string(passwords->lastResultCode()) + ")";
            Log::warning(problem);
            std::lock_guard lock(mutex_);
            saveProblem_ = problem;
        }
    }
}

void DMNetworkDriveManager::mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
    if (!network || !mounter_ || !NetworkURL::parse(network->urlString())) {
        complete(completion, NetworkMountStatus::hostDown);
        return;
    }
    if (!network->beginConnecting()) {
        complete(completion, NetworkMountStatus::hostDown);
        return;
    }
    network->notifyDelegate();
    NetworkDriveConnection::start(weak_from_this(), *mounter_, network, false, std::move(completion));
}

void DMNetworkDriveManager::unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
    if (!network) {
        complete(completion, -1);
        return;
    }
    disconnect(network, DisconnectOptions{}, std::move(completion));
}

void DMNetworkDriveManager::disconnect(const DriveRef& drive, DisconnectOptions options, DMCompletion completion) {
    std::optional<std::string> mountPoint = drive->mountPoint();
    if (!mountPoint || !mounter_ || drive->isDisconnecting()) {
        complete(completion, -1);
        return;
    }
    NetworkDriveDisconnection::start(weak_from_this(), *mounter_, drive, *mountPoint, std::move(options),
                                     std::move(completion));
}

void DMNetworkDriveManager::open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
    std::optional<std::string> mountPoint = network ? network->mountPoint() : std::nullopt;
    bool opened = mountPoint && Platform::current().workspace().openFolder(*mountPoint);
    complete(completion, opened ? 0 : -1);
}

void DMNetworkDriveManager::cancelMount(const DMNetworkDriveObject& drive) {
    if (auto request = drive.asyncRequestID(); request && mounter_) {
        mounter_->cancel(*request);
    }
}

std::shared_ptr<DMNetworkDriveObject> DMNetworkDriveManager::driveFromVolume(const NetworkVolume& volume) {
    auto drive = makeDriveObject();
    drive->setScheme("");
    drive->setMountPoint(volume.mountPoint);
    std::optional<NetworkURL> url = volume.remountURL ? NetworkURL::parse(*volume.remountURL) : std::nullopt;
    if (url) {
        drive->setScheme(url->scheme);
        drive->setUserName(url->user);
        drive->setHost(url->host);
        drive->setDir(url->path);
        drive->setName(url->lastPathComponent());
        // A share mounted without an account is a guest mount.
        drive->setAnonymous(url->user.empty());
        drive->refreshIdentifier();
    }
    return drive;
}

void DMNetworkDriveManager::volumeAppeared(const NetworkVolume& volume) {
    // A volume that went away while it settled is not taken up.
    if (mounter_) {
        auto mounted = mounter_->mountedVolumes();
        if (std::none_of(mounted.begin(), mounted.end(),
                         [&volume](const NetworkVolume& v) { return v.mountPoint == volume.mountPoint; })) {
            return;
        }
    }
    DriveRef built = driveFromVolume(volume);
    if (built->scheme().empty() || built->host().empty()) {
        return;
    }
    // A drive already listed takes the volume and keeps its row (its name, its saved state);
    // only a volume nobody listed becomes a new drive.
    std::vector<DriveRef> listed;
    for (const DriveRef& root : roots()) {
        if (*root == *built) {
            root->setMountPoint(volume.mountPoint);
            root->refreshSizes();
            root->refreshIdentifier();
            listed.push_back(root);
        }
    }
    if (listed.empty()) {
        drives_.append(built);
        write(Change::Automatic);
    }
    auto target = delegate();
    if (!target) {
        return;
    }
    if (listed.empty()) {
        target->driveAdded(built);
    }
    for (const DriveRef& root : listed) {
        target->driveMounted(root);
    }
}

void DMNetworkDriveManager::volumeDisappeared(const NetworkVolume& volume) {
    std::vector<DriveRef> gone;
    for (const DriveRef& root : roots()) {
        if (root->mountPoint() == volume.mountPoint) {
            gone.push_back(root);
        }
    }
    auto target = delegate();
    // A saved drive stays listed, offline.
    for (const DriveRef& drive : gone) {
        if (drive->saved()) {
            drive->setMountPoint(std::nullopt);
            drive->update();
            if (target) {
                target->driveUnmounted(drive);
            }
        }
    }
    drives_.removeUnsaved(gone);
    for (const DriveRef& drive : gone) {
        if (!drive->saved() && target) {
            target->driveRemoved(drive);
        }
    }
}

}  // namespace harbormind
