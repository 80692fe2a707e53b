#include "network/DMNetworkDriveManager.h"

#include <algorithm>

#include "network/DriveKeychains.h"
#include "network/Keychains.h"
#include "network/NetworkDriveArchive.h"
#include "network/NetworkDriveUUID.h"
#include "platform/FileStore.h"
#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "support/Timer.h"

namespace harbormind {
namespace {

using DriveRef = std::shared_ptr<DMNetworkDriveObject>;

// How long a volume that appeared is left to settle before it is taken up.
constexpr Clock::Duration volumeSettleTime = seconds(2);
// How often a disconnect looks whether written files have reached the server.
constexpr Clock::Duration writesPollInterval = seconds(0.25);
// How often the saved-drives file is read again for changes made by other programs.
constexpr Clock::Duration savedDrivesPollInterval = seconds(1);

void complete(const DMCompletion& completion, int status) {
    if (completion) {
        completion(status, std::nullopt);
    }
}

// A finished mount request: its status, and on failure what the mounter said about it.
void complete(const DMCompletion& completion, const NetworkMountResult& result) {
    if (!completion) {
        return;
    }
    const bool failed = result.status != NetworkMountStatus::success && !result.message.empty();
    completion(result.status, failed ? std::optional<std::string>(result.message) : std::nullopt);
}

bool isNetworkVolumeKind(const std::string& kind) {
    return kind == "nfs" || kind == "smbfs" || kind == "afpfs";
}

std::string joinPath(std::string folder, const std::string& name) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
}

std::string lastComponent(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A successful mount tells where the volume is before the volume list shows it, so what
// follows the connect (opening the drive) finds the mount point.
void takeMountPoint(DMNetworkDriveObject& drive, const NetworkMountResult& result) {
    if (result.status == NetworkMountStatus::success && !result.mountPoints.empty() && !drive.mountPoint()) {
        drive.setMountPoint(result.mountPoints.front());
        drive.refreshSizes();
    }
}

FileStore* fileStore() {
    return Platform::current().fileStore();
}

}  // namespace

DMNetworkDriveManager::DMNetworkDriveManager() : mounter_(Platform::current().networkMounter()) {}

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
    std::lock_guard lock(mutex_);
    return DriveList(rootObjs_.begin(), rootObjs_.end());
}

void DMNetworkDriveManager::setRootObjs(DriveList rootObjs) {
    std::vector<DriveRef> drives;
    for (auto& drive : rootObjs) {
        if (auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive)) {
            drives.push_back(std::move(network));
        }
    }
    std::lock_guard lock(mutex_);
    rootObjs_ = std::move(drives);
}

std::vector<DriveRef> DMNetworkDriveManager::roots() const {
    std::lock_guard lock(mutex_);
    return rootObjs_;
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
    std::lock_guard lock(mutex_);
    return fileDamaged_;
}

std::optional<std::string> DMNetworkDriveManager::lastSaveProblem() const {
    std::lock_guard lock(mutex_);
    return saveProblem_;
}

std::string DMNetworkDriveManager::savedDrivesPath() const {
    return joinPath(DriveKeychains::homeDirectory(), savedDrivesFileName);
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
    auto drives = roots();
    return std::any_of(drives.begin(), drives.end(), [&drive](const DriveRef& root) { return *root == drive; });
}

void DMNetworkDriveManager::add(std::shared_ptr<DMNetworkDriveObject> drive) {
    {
        std::lock_guard lock(mutex_);
        rootObjs_.push_back(std::move(drive));
    }
    write(Change::ByUser);
}

void DMNetworkDriveManager::saveWithoutConnecting(const DriveRef& drive, const DriveRef& replacing) {
    if (replacing) {
        remove(replacing);
    }
    drive->setSaved(true);
    DriveRef listed;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(rootObjs_.begin(), rootObjs_.end(), [&drive](const DriveRef& root) { return *root == *drive; });
        if (it != rootObjs_.end()) {
            listed = *it;
        }
    }
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
    DriveRef removed;
    bool identityStillUsed = false;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(rootObjs_.begin(), rootObjs_.end(), [&drive](const DriveRef& root) { return *root == *drive; });
        if (it == rootObjs_.end()) {
            return;
        }
        removed = *it;
        rootObjs_.erase(it);
        identityStillUsed = std::any_of(rootObjs_.begin(), rootObjs_.end(),
                                        [&removed](const DriveRef& root) { return *root == *removed; });
    }
    write(Change::ByUser);
    // A password nobody can use any more is not kept.
    if (removed->saved() && !identityStillUsed) {
        if (Keychains* passwords = keychain()) {
            passwords->deleteKey(removed->urlIdentity());
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
    FileStore* files = fileStore();
    if (!files) {
        return;
    }
    std::string path = savedDrivesPath();
    std::optional<FileStore::Bytes> bytes = files->read(path);
    {
        std::lock_guard lock(mutex_);
        fileSeen_ = bytes;
    }
    if (!bytes) {
        // A file that is there but cannot be read is kept as it is.
        std::lock_guard lock(mutex_);
        fileDamaged_ = files->exists(path);
        return;
    }
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(*bytes);
    if (contents.damaged) {
        Log::warning("The saved network drives in " + path + " are damaged; what can be read is loaded");
    }
    std::vector<DriveRef> loaded;
    for (const NetworkDriveRecord& record : contents.drives) {
        loaded.push_back(savedDrive(record));
    }
    if (!loaded.empty()) {
        Keychains* passwords = keychain();
        for (const DriveRef& drive : loaded) {
            drive->setPassword(passwords->getString(drive->identifier()));
        }
    }
    std::lock_guard lock(mutex_);
    fileDamaged_ = contents.damaged;
    rootObjs_.insert(rootObjs_.end(), loaded.begin(), loaded.end());
}

void DMNetworkDriveManager::checkSavedDrivesFile() {
    FileStore* files = fileStore();
    if (!files) {
        return;
    }
    // The count is taken before the read: a write of this process that ends after it makes
    // what was read out of date.
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        generation = fileGeneration_;
    }
    std::optional<FileStore::Bytes> bytes = files->read(savedDrivesPath());
    {
        std::lock_guard lock(mutex_);
        if (generation != fileGeneration_ || bytes == fileSeen_) {
            return;
        }
    }
    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    Dispatch::mainQueue()->async([weakSelf, bytes, generation] {
        if (auto self = weakSelf.lock()) {
            self->followSavedDrivesFile(bytes, generation);
        }
    });
}

void DMNetworkDriveManager::followSavedDrivesFile(const std::optional<FileStore::Bytes>& bytes,
                                                  std::uint64_t generation) {
    NetworkDriveArchive::Contents contents;
    if (bytes) {
        contents = NetworkDriveArchive::decode(*bytes);
    }
    {
        std::lock_guard lock(mutex_);
        // This process wrote the file meanwhile: what was read is already out of date.
        if (generation != fileGeneration_) {
            return;
        }
        fileSeen_ = bytes;
        ++fileGeneration_;
        // A damaged file is not followed: the drives it lost stay listed.
        if (contents.damaged) {
            return;
        }
    }
    std::vector<DriveRef> added;
    std::vector<DriveRef> changed;
    std::vector<DriveRef> removed;
    for (const NetworkDriveRecord& record : contents.drives) {
        DriveRef candidate = savedDrive(record);
        DriveRef listed;
        for (const DriveRef& root : roots()) {
            if (*root == *candidate) {
                listed = root;
                break;
            }
        }
        if (!listed) {
            added.push_back(candidate);
        } else if (!listed->saved() || listed->name() != candidate->name()) {
            listed->setSaved(true);
            listed->setName(candidate->name());
            changed.push_back(listed);
        }
    }
    for (const DriveRef& root : roots()) {
        const bool inFile = std::any_of(contents.drives.begin(), contents.drives.end(), [&](const NetworkDriveRecord& record) {
            return *savedDrive(record) == *root;
        });
        if (!root->saved() || inFile) {
            continue;
        }
        // Another program forgot the drive. A connected one stays listed until it disconnects.
        root->setSaved(false);
        (root->isMounted() ? changed : removed).push_back(root);
    }
    if (!added.empty()) {
        Keychains* passwords = keychain();
        for (const DriveRef& drive : added) {
            drive->setPassword(passwords->getString(drive->identifier()));
        }
    }
    {
        std::lock_guard lock(mutex_);
        rootObjs_.insert(rootObjs_.end(), added.begin(), added.end());
        for (const DriveRef& drive : removed) {
            rootObjs_.erase(std::remove(rootObjs_.begin(), rootObjs_.end(), drive), rootObjs_.end());
        }
    }
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
    FileStore* files = fileStore();
    if (!files) {
        return;
    }
    std::string path = savedDrivesPath();
    std::vector<DriveRef> saved;
    {
        std::lock_guard lock(mutex_);
        if (fileDamaged_) {
            // The damaged file holds drives we could not read; only the user's own change
            // of the list may replace it, and then it is kept aside first.
            if (change == Change::Automatic) {
                return;
            }
            if (files->exists(path) && !files->moveAside(path, ".damaged")) {
                Log::warning("Could not keep the damaged " + path + " aside; it is not replaced");
                return;
            }
            fileDamaged_ = false;
        }
        for (const DriveRef& drive : rootObjs_) {
            if (drive->saved()) {
                saved.push_back(drive);
            }
        }
    }
    {
        std::lock_guard lock(mutex_);
        saveProblem_.reset();
    }
    std::vector<NetworkDriveRecord> records;
    for (const DriveRef& drive : saved) {
        records.push_back({drive->name(), drive->scheme(), drive->host(), drive->userName(), drive->dir()});
    }
    // The file names the user's servers and accounts: theirs alone, also when an older version
    // left it readable by others (a write replaces the file, and its mode).
    FileStore::Bytes bytes = NetworkDriveArchive::encode(records);
    if (files->write(path, bytes, FileStore::Privacy::OwnerOnly)) {
        // What this process wrote is no change to follow.
        std::lock_guard lock(mutex_);
        fileSeen_ = std::move(bytes);
        ++fileGeneration_;
    } else {
        Log::warning("Could not write the saved network drives to " + path);
    }
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
    startMount(network, false, std::move(completion));
}

void DMNetworkDriveManager::startMount(const DriveRef& drive, bool allowUserInterface, DMCompletion completion) {
    NetworkMountRequest request;
    request.url = drive->urlString();
    request.mountDirectory = joinPath(joinPath(DriveKeychains::homeDirectory(), "mnt"), NetworkDriveUUID::make());
    mounter_->createMountDirectory(request.mountDirectory);
    request.guest = drive->anonymous();
    request.user = request.guest ? "guest" : drive->userName();
    request.password = request.guest ? "" : drive->password().value_or("");
    request.allowUserInterface = allowUserInterface;

    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    NetworkMounter* mounter = mounter_;
    drive->beginRequest([&] {
        return mounter->mountAsync(
            request, Dispatch::global(), [weakSelf, drive, allowUserInterface, completion](NetworkMountResult result) {
                drive->setAsyncRequestID(std::nullopt);
                if (allowUserInterface) {
                    finishRetry(drive, result, completion);
                    return;
                }
                // A refused login is final, and so is the user's own cancel.
                if (result.status == NetworkMountStatus::success ||
                    result.status == NetworkMountStatus::authenticationRefused ||
                    result.status == NetworkMountStatus::cancelled) {
                    takeMountPoint(*drive, result);
                    drive->setConnecting(false);
                    drive->notifyDelegate();
                    complete(completion, result);
                    return;
                }
                Log::info("Connecting " + drive->urlString() + " failed (" + std::to_string(result.status) +
                          "); trying again with the system's dialogs");
                if (auto self = weakSelf.lock()) {
                    self->startMount(drive, true, completion);
                }
            });
    });
}

void DMNetworkDriveManager::finishRetry(const DriveRef& drive, const NetworkMountResult& result,
                                        const DMCompletion& completion) {
    if (!result.mountPoints.empty()) {
        // The share the retry mounted names the folder; a folder that already ends in that
        // name is kept whole.
        std::string share = lastComponent(result.mountPoints.front());
        if (!share.empty() && share != "/" && lastComponent(drive->dir()) != share) {
            drive->setDir("/" + share);
        }
    }
    takeMountPoint(*drive, result);
    drive->setConnecting(false);
    drive->notifyDelegate();
    complete(completion, result);
}

void DMNetworkDriveManager::unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) {
    auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
    if (!network) {
        complete(completion, -1);
        return;
    }
    disconnect(network, DisconnectOptions{}, std::move(completion));
}

struct DMNetworkDriveManager::DisconnectRun {
    DriveRef drive;
    std::string mountPoint;
    Clock::TimePoint deadline;
    DisconnectOptions options;
    DMCompletion completion;
    int lastReported = 0;
};

void DMNetworkDriveManager::disconnect(const DriveRef& drive, DisconnectOptions options, DMCompletion completion) {
    std::optional<std::string> mountPoint = drive->mountPoint();
    if (!mountPoint || !mounter_ || drive->isDisconnecting()) {
        complete(completion, -1);
        return;
    }
    drive->setDisconnecting(true);
    drive->notifyDelegate();
    auto run = std::make_shared<DisconnectRun>();
    run->drive = drive;
    run->mountPoint = *mountPoint;
    run->deadline = Clock::current().now() + options.writesLimit;
    run->options = std::move(options);
    run->completion = std::move(completion);
    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    Dispatch::global()->async([weakSelf, run] {
        if (auto self = weakSelf.lock()) {
            self->waitForWrites(run);
        }
    });
}

// Unmounting while the file system still holds written files would leave them on this
// machine only, so the unmount waits until the server has every one of them.
void DMNetworkDriveManager::waitForWrites(const std::shared_ptr<DisconnectRun>& run) {
    auto finish = [run](int status) {
        run->drive->setDisconnecting(false);
        run->drive->notifyDelegate();
        if (run->completion) {
            run->completion(status, status == 0 ? std::nullopt
                                                 : std::optional<std::string>(NetworkMountStatus::describe(status)));
        }
    };
    int pending = mounter_->pendingWrites(run->mountPoint);
    if (pending == 0) {
        finish(mounter_->unmountNow(run->mountPoint, NetworkMounter::Unmount::Normal));
        return;
    }
    Clock& clock = Clock::current();
    if (clock.now() >= run->deadline) {
        Log::warning("Not disconnecting " + run->mountPoint + ": " + std::to_string(pending) +
                     " written files have not reached the server");
        finish(NetworkMountStatus::writesPending);
        return;
    }
    if (pending != run->lastReported && run->options.waiting) {
        run->options.waiting(pending);
    }
    run->lastReported = pending;
    std::weak_ptr<DMNetworkDriveManager> weakSelf = weak_from_this();
    clock.schedule(writesPollInterval, [weakSelf, run, finish] {
        Dispatch::global()->async([weakSelf, run, finish] {
            if (auto self = weakSelf.lock()) {
                self->waitForWrites(run);
            } else {
                finish(-1);
            }
        });
    });
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
        {
            std::lock_guard lock(mutex_);
            rootObjs_.push_back(built);
        }
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
    {
        std::lock_guard lock(mutex_);
        std::erase_if(rootObjs_, [&gone](const DriveRef& root) {
            return !root->saved() && std::find(gone.begin(), gone.end(), root) != gone.end();
        });
    }
    for (const DriveRef& drive : gone) {
        if (!drive->saved() && target) {
            target->driveRemoved(drive);
        }
    }
}

}  // namespace harbormind
