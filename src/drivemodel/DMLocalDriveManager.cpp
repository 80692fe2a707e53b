#include "drivemodel/DMLocalDriveManager.h"

#include <algorithm>
#include <array>

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMLuksWrapper.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "platform/DeviceNaming.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

// Volumes that are parts of a system installation, never shown. Compared with letter case.
constexpr std::array<const char*, 11> excludedVolumeNames{
    "System Reserved", "EFI", "Recovery", "VM", "Preboot", "Time Machine",
    "Boot OS X", "Update", "iSCPreboot", "xART", "Hardware",
};

bool isExcludedVolumeName(const std::string& name) {
    return std::any_of(excludedVolumeNames.begin(), excludedVolumeNames.end(),
                       [&](const char* excluded) { return name == excluded; });
}

}  // namespace

std::shared_ptr<DMLocalDriveManager> DMLocalDriveManager::create(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) {
    return std::make_shared<DMLocalDriveManager>(std::move(delegate));
}

DMLocalDriveManager::DMLocalDriveManager(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate)
    : queue_(SerialQueue::create("DMLocalDriveManager")),
      daSession_(Platform::current().diskArbitration().createSession()),
      bitlockerWrapper_(DMBitLockerWrapper::shared()),
      ntfsWrapper_(DMNtfsWrapper::shared()),
      corestorageWrapper_(DMCoreStorageWrapper::shared()),
      devicCloenWrapper_(DMDeviceCloneWrapper::shared()),
      luksWrapper_(DMLuksWrapper::create()),
      delegate_(std::move(delegate)) {}

DMLocalDriveManager::~DMLocalDriveManager() {
    if (daSession_) {
        daSession_->setDispatchQueue(nullptr);
    }
}

// ---- protocol members ----

std::shared_ptr<DMDriveManagerDelegateProtocol> DMLocalDriveManager::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMLocalDriveManager::setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

DMDriveManagerProtocol::DriveMap DMLocalDriveManager::driveObjs() const {
    std::lock_guard lock(mutex_);
    return driveObjs_;
}

void DMLocalDriveManager::setDriveObjs(DriveMap driveObjs) {
    std::lock_guard lock(mutex_);
    driveObjs_.swap(driveObjs);
}

DMDriveManagerProtocol::DriveList DMLocalDriveManager::rootObjs() const {
    std::lock_guard lock(mutex_);
    return rootObjs_;
}

void DMLocalDriveManager::setRootObjs(DriveList rootObjs) {
    std::lock_guard lock(mutex_);
    rootObjs_.swap(rootObjs);
}

std::string DMLocalDriveManager::filter() const {
    std::lock_guard lock(mutex_);
    return filter_;
}

void DMLocalDriveManager::setFilter(std::string filter) {
    std::lock_guard lock(mutex_);
    filter_ = std::move(filter);
}

void DMLocalDriveManager::stop() {
    if (daSession_) {
        daSession_->setDispatchQueue(nullptr);
    }
    // A callback already running may still hand work to the background; it is refused
    // from here on, and what started is waited for.
    background_.stop(seconds(0));
    queue_->sync([] {});
    background_.stop(seconds(stopLimitSeconds));
}

void DMLocalDriveManager::setClassification(Classification classification) {
    std::lock_guard lock(mutex_);
    classification_ = classification;
}

bool DMLocalDriveManager::isRunning() const {
    std::lock_guard lock(mutex_);
    return isRunning_;
}

// ---- discovery ----

void DMLocalDriveManager::start() {
    {
        std::lock_guard lock(mutex_);
        if (!daSession_ || isRunning_) {
            return;
        }
        isRunning_ = true;
    }
    daSession_->setDispatchQueue(queue_);
    std::weak_ptr<DMLocalDriveManager> weak = weak_from_this();
    daSession_->registerDiskAppeared([weak](const DADisk& disk) {
        if (auto self = weak.lock()) {
            self->diskAppeared(disk);
        }
    });
    daSession_->registerDiskDisappeared([weak](const DADisk& disk) {
        if (auto self = weak.lock()) {
            self->diskDisappeared(disk);
        }
    });
    daSession_->registerDiskMountApproval([weak](const DADisk& disk) -> std::optional<DADissenter> {
        if (auto self = weak.lock()) {
            self->waitForMountState(disk, true);
        }
        return std::nullopt;
    });
    daSession_->registerDiskUnmountApproval([weak](const DADisk& disk) -> std::optional<DADissenter> {
        if (auto self = weak.lock()) {
            self->waitForMountState(disk, false);
        }
        return std::nullopt;
    });
    daSession_->registerDiskDescriptionChanged([weak](const DADisk& disk, const std::vector<std::string>&) {
        if (auto self = weak.lock()) {
            self->descriptionChanged(disk);
        }
    });
}

std::optional<std::string> DMLocalDriveManager::bsdNameOf(const DADisk& disk) const {
    auto description = daSession_->copyDescription(disk);
    std::optional<std::string> name = description ? description->text(DiskDescriptionKey::mediaBSDName) : std::nullopt;
    if (!description) {
        // A disk that has gone no longer describes itself; its handle still names it.
        name = disk.bsdName();
    }
    if (!name || name->empty()) {
        return std::nullopt;
    }
    return name;
}

void DMLocalDriveManager::diskAppeared(const DADisk& disk) {
    auto description = daSession_->copyDescription(disk);
    if (!description) {
        return;
    }
    std::optional<std::string> bsdName = description->text(DiskDescriptionKey::mediaBSDName);
    if (!bsdName || bsdName->empty()) {
        return;
    }
    if (auto volumeName = description->text(DiskDescriptionKey::volumeName); volumeName && isExcludedVolumeName(*volumeName)) {
        return;
    }
    // The device through which an unlocked BitLocker volume is mounted is shown as that volume.
    // Where the platform reads signatures, the daemon answers with a mapping only for a device
    // that carries BitLocker's, so it is not asked about one whose signatures show none.
    if (DMLocalDriveObject::bitLockerFromSignatures(description).value_or(true) &&
        bitlockerWrapper_->getBitLockerBSDNameWithBsdname(*bsdName) == *bsdName) {
        return;
    }
    if (auto size = description->integer(DiskDescriptionKey::mediaSize); size && *size <= largestIgnoredSize) {
        return;
    }

    std::shared_ptr<DMLocalDriveObject> object;
    Classification classification = Classification::InBackground;
    {
        std::lock_guard lock(mutex_);
        auto it = driveObjs_.find(*bsdName);
        object = it == driveObjs_.end() ? nullptr : std::dynamic_pointer_cast<DMLocalDriveObject>(it->second);
        if (!object) {
            object = DMLocalDriveObject::create(*bsdName, weak_from_this(), weak_from_this());
            driveObjs_[*bsdName] = object;
        }
        classification = classification_;
    }
    if (classification == Classification::InBackground) {
        background_.run(*Dispatch::global(), [object] { object->update(); });
    }

    if (std::shared_ptr<DMLocalDriveObject> parent = parentObject(object)) {
        link(object, parent);
    } else {
        std::lock_guard lock(mutex_);
        // A disk reported twice (without disappearing between) stays listed once.
        bool listed = std::any_of(rootObjs_.begin(), rootObjs_.end(),
                                  [&](const auto& root) { return root == object; });
        if (!listed) {
            rootObjs_.push_back(object);
        }
    }
    if (auto receiver = delegate()) {
        receiver->driveAdded(object);
    }
}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveManager::parentObject(const std::shared_ptr<DMLocalDriveObject>& object) {
    if (!daSession_ || !object) {
        return nullptr;
    }
    std::optional<DADisk> disk = daSession_->diskFromBSDName(object->identifier());
    std::optional<RegistryEntryId> media = disk ? daSession_->copyIOMedia(*disk) : std::nullopt;
    if (!media) {
        return nullptr;
    }
    DeviceRegistry& registry = Platform::current().registry();
    std::optional<std::string> parentName;
    // The bound keeps a damaged registry with a loop from holding the queue.
    int steps = 0;
    for (auto entry = registry.parentEntry(*media); entry && steps < 1000; entry = registry.parentEntry(*entry), ++steps) {
        if (auto name = registry.property(*entry, "BSD Name"); name && name->asText()) {
            parentName = name->asText();
            break;
        }
    }
    if (!parentName || parentName->empty()) {
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    auto it = driveObjs_.find(*parentName);
    if (it != driveObjs_.end()) {
        if (auto known = std::dynamic_pointer_cast<DMLocalDriveObject>(it->second)) {
            return known;
        }
    }
    auto placeholder = DMLocalDriveObject::create(*parentName, weak_from_this(), weak_from_this());
    driveObjs_[*parentName] = placeholder;
    return placeholder;
}

void DMLocalDriveManager::link(const std::shared_ptr<DMLocalDriveObject>& child,
                               const std::shared_ptr<DMLocalDriveObject>& parent) {
    DeviceNaming::ChildRelation relation =
        Platform::current().deviceNaming().relation(parent->identifier(), child->identifier());
    if (relation == DeviceNaming::ChildRelation::partition) {
        child->setParent(std::static_pointer_cast<DMDriveObjectProtocol>(parent));
        parent->addChild(child);
    } else {
        child->setPhysicalLink(parent);
        parent->addLogicalLink(child);
    }
}

void DMLocalDriveManager::diskDisappeared(const DADisk& disk) {
    std::optional<std::string> bsdName = bsdNameOf(disk);
    if (!bsdName) {
        return;
    }
    std::shared_ptr<DMLocalDriveObject> object;
    {
        std::lock_guard lock(mutex_);
        if (auto it = driveObjs_.find(*bsdName); it != driveObjs_.end()) {
            object = std::dynamic_pointer_cast<DMLocalDriveObject>(it->second);
        }
    }
    auto parent = object ? std::dynamic_pointer_cast<DMLocalDriveObject>(object->parent()) : nullptr;
    if (parent) {
        parent->removeChild(*bsdName);
        object->setParent({});
    } else {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(rootObjs_.begin(), rootObjs_.end(),
                               [&](const auto& root) { return root->identifier() == *bsdName; });
        if (it != rootObjs_.end()) {
            rootObjs_.erase(it);
        }
    }
    if (object) {
        object->setChildren({});
        if (auto physical = object->physicalLink()) {
            physical->removeLogicalLink(*bsdName);
            object->setPhysicalLink({});
        }
        for (const auto& logical : object->logicalLinks()) {
            logical->setPhysicalLink({});
        }
        object->removeLogicalLinks();
    }
    {
        std::lock_guard lock(mutex_);
        driveObjs_.erase(*bsdName);
    }
    if (auto receiver = delegate()) {
        receiver->driveRemoved(DMLocalDriveObject::create(*bsdName));
    }
}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveManager::objectOrTransient(const std::string& bsdName) {
    {
        std::lock_guard lock(mutex_);
        if (auto it = driveObjs_.find(bsdName); it != driveObjs_.end()) {
            if (auto known = std::dynamic_pointer_cast<DMLocalDriveObject>(it->second)) {
                return known;
            }
        }
    }
    return DMLocalDriveObject::create(bsdName, weak_from_this(), weak_from_this());
}

void DMLocalDriveManager::waitForMountState(const DADisk& disk, bool mounted) {
    std::optional<std::string> bsdName = bsdNameOf(disk);
    if (!bsdName) {
        return;
    }
    std::weak_ptr<DMLocalDriveManager> weak = weak_from_this();
    DMBackgroundWork background = background_;
    background_.run(*Dispatch::global(), [weak, background, name = *bsdName, mounted] {
        std::shared_ptr<DMLocalDriveObject> object;
        if (auto self = weak.lock()) {
            object = self->objectOrTransient(name);
        }
        if (!object) {
            return;
        }
        for (int check = 0; check < mountWaitChecks; ++check) {
            if (object->mountPoint().has_value() == mounted) {
                break;
            }
            if (!background.pause(seconds(1))) {
                return;
            }
        }
        Dispatch::mainQueue()->async([weak, object, mounted] {
            auto self = weak.lock();
            auto receiver = self ? self->delegate() : nullptr;
            if (!receiver) {
                return;
            }
            if (mounted) {
                receiver->driveMounted(object);
            } else {
                receiver->driveUnmounted(object);
            }
        });
    });
}

void DMLocalDriveManager::descriptionChanged(const DADisk& disk) {
    std::optional<std::string> bsdName = bsdNameOf(disk);
    if (!bsdName) {
        return;
    }
    std::weak_ptr<DMLocalDriveManager> weak = weak_from_this();
    background_.run(*Dispatch::global(), [weak, name = *bsdName] {
        auto self = weak.lock();
        if (!self) {
            return;
        }
        auto object = self->objectOrTransient(name);
        object->update();
        Dispatch::mainQueue()->async([weak, object] {
            auto owner = weak.lock();
            if (auto receiver = owner ? owner->delegate() : nullptr) {
                receiver->driveChanged(object);
            }
        });
    });
}

}  // namespace harbormind
