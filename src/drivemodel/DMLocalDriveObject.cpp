#include "drivemodel/DMLocalDriveObject.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMDriveImageName.h"
#include "drivemodel/DMDriveManagerProtocol.h"
#include "drivemodel/DMLocalDriveClassifier.h"
#include "drivemodel/DMLocalDriveText.h"
#include "platform/DeviceNaming.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

DeviceNaming& naming() {
    return Platform::current().deviceNaming();
}

}  // namespace

DMLocalDriveObject::DMLocalDriveObject(std::string identifier, std::weak_ptr<DMDriveManagerProtocol> manager,
                                       std::weak_ptr<const DMLocalDriveServices> services)
    : manager_(std::move(manager)), clients_(std::move(services)), identifier_(std::move(identifier)) {}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveObject::create(std::string identifier,
                                                               std::weak_ptr<DMDriveManagerProtocol> manager,
                                                               std::weak_ptr<const DMLocalDriveServices> services) {
    return std::make_shared<DMLocalDriveObject>(std::move(identifier), std::move(manager), std::move(services));
}

// ---- stored fields and links ----

std::string DMLocalDriveObject::identifier() const {
    std::lock_guard lock(mutex_);
    return identifier_;
}

void DMLocalDriveObject::setIdentifier(std::string identifier) {
    std::lock_guard lock(mutex_);
    identifier_ = std::move(identifier);
}

void DMLocalDriveObject::setName(std::string) {}

std::shared_ptr<DMDriveManagerProtocol> DMLocalDriveObject::manager() const {
    std::lock_guard lock(mutex_);
    return manager_.lock();
}

void DMLocalDriveObject::setManager(std::weak_ptr<DMDriveManagerProtocol> manager) {
    std::lock_guard lock(mutex_);
    manager_ = std::move(manager);
}

std::shared_ptr<DMDriveObjectDelegate> DMLocalDriveObject::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMLocalDriveObject::setDelegate(std::weak_ptr<DMDriveObjectDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

DMDriveObjectCategory DMLocalDriveObject::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

void DMLocalDriveObject::setCategory(DMDriveObjectCategory category) {
    std::lock_guard lock(mutex_);
    category_ = category;
}

std::shared_ptr<DMDriveObjectProtocol> DMLocalDriveObject::parent() const {
    std::lock_guard lock(mutex_);
    return parent_.lock();
}

void DMLocalDriveObject::setParent(std::weak_ptr<DMDriveObjectProtocol> parent) {
    std::lock_guard lock(mutex_);
    parent_ = std::move(parent);
}

DMDriveObjectProtocol::ChildMap DMLocalDriveObject::children() const {
    std::lock_guard lock(mutex_);
    return children_;
}

void DMLocalDriveObject::setChildren(ChildMap children) {
    ChildMap old;
    {
        std::lock_guard lock(mutex_);
        old.swap(children_);
        children_ = std::move(children);
    }
    // `old` is released here, outside the lock: a child's release may release its children.
}

void DMLocalDriveObject::addChild(const std::shared_ptr<DMDriveObjectProtocol>& child) {
    std::string key = child->identifier();
    std::lock_guard lock(mutex_);
    children_[key] = child;
}

void DMLocalDriveObject::removeChild(const std::string& identifier) {
    std::shared_ptr<DMDriveObjectProtocol> removed;
    std::lock_guard lock(mutex_);
    if (auto it = children_.find(identifier); it != children_.end()) {
        removed = std::move(it->second);
        children_.erase(it);
    }
}

bool DMLocalDriveObject::hasChildren() const {
    std::lock_guard lock(mutex_);
    return !children_.empty();
}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveObject::logicalLink() const {
    std::lock_guard lock(mutex_);
    return logicalDriveObjs_.empty() ? nullptr : logicalDriveObjs_.front();
}

std::vector<std::shared_ptr<DMLocalDriveObject>> DMLocalDriveObject::logicalLinks() const {
    std::lock_guard lock(mutex_);
    return logicalDriveObjs_;
}

void DMLocalDriveObject::addLogicalLink(std::shared_ptr<DMLocalDriveObject> logical) {
    if (!logical) {
        return;
    }
    std::lock_guard lock(mutex_);
    for (const auto& known : logicalDriveObjs_) {
        if (known == logical) {
            return;
        }
    }
    logicalDriveObjs_.push_back(std::move(logical));
}

void DMLocalDriveObject::removeLogicalLink(const std::string& identifier) {
    // The removed objects are released outside the lock: releasing one may release others.
    std::vector<std::shared_ptr<DMLocalDriveObject>> removed;
    std::lock_guard lock(mutex_);
    for (auto it = logicalDriveObjs_.begin(); it != logicalDriveObjs_.end();) {
        if ((*it)->identifier() == identifier) {
            removed.push_back(std::move(*it));
            it = logicalDriveObjs_.erase(it);
        } else {
            ++it;
        }
    }
}

void DMLocalDriveObject::removeLogicalLinks() {
    std::vector<std::shared_ptr<DMLocalDriveObject>> removed;
    std::lock_guard lock(mutex_);
    removed.swap(logicalDriveObjs_);
}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveObject::physicalLink() const {
    std::lock_guard lock(mutex_);
    return physicalDriveObj_.lock();
}

void DMLocalDriveObject::setPhysicalLink(std::weak_ptr<DMLocalDriveObject> physical) {
    std::lock_guard lock(mutex_);
    physicalDriveObj_ = std::move(physical);
}

std::shared_ptr<DMLocalDriveObject> DMLocalDriveObject::logicalObject() const {
    auto current = std::const_pointer_cast<DMLocalDriveObject>(shared_from_this());
    // The chain is short (a store and the disk on it); the bound guards against a cycle.
    for (int steps = 0; steps < 16; ++steps) {
        auto next = current->logicalLink();
        if (!next) {
            break;
        }
        current = next;
    }
    return current;
}

std::shared_ptr<DMDriveObjectProtocol> DMLocalDriveObject::logicalDriveObj() const {
    return logicalObject();
}

std::shared_ptr<DMDriveObjectProtocol> DMLocalDriveObject::physicalDriveObj() const {
    auto current = std::const_pointer_cast<DMLocalDriveObject>(shared_from_this());
    for (int steps = 0; steps < 16; ++steps) {
        auto next = current->physicalLink();
        if (!next) {
            break;
        }
        current = next;
    }
    return current;
}

bool DMLocalDriveObject::logicalHasChildren() const {
    return logicalObject()->hasChildren();
}

DMDriveObjectActivityIndicator DMLocalDriveObject::activityIndicator() const {
    return DMDriveObjectActivityIndicator::none();
}

std::int64_t DMLocalDriveObject::capacity() const {
    std::lock_guard lock(mutex_);
    return fields_.capacity;
}

std::optional<std::int64_t> DMLocalDriveObject::used() const {
    std::lock_guard lock(mutex_);
    return fields_.used;
}

std::optional<std::int64_t> DMLocalDriveObject::free() const {
    std::lock_guard lock(mutex_);
    return fields_.free;
}

DMDriveObjectLocation DMLocalDriveObject::location() const {
    std::lock_guard lock(mutex_);
    return fields_.location;
}

DMDriveObjectInterfaceType DMLocalDriveObject::interfaceType() const {
    std::lock_guard lock(mutex_);
    return fields_.interfaceType;
}

DMDriveObjectType DMLocalDriveObject::type() const {
    std::lock_guard lock(mutex_);
    return fields_.type;
}

DMDriveObjectPartitionMap DMLocalDriveObject::partitionMap() const {
    std::lock_guard lock(mutex_);
    return fields_.partitionMap;
}

DMDriveObjectFilesystem DMLocalDriveObject::fileSystem() const {
    std::lock_guard lock(mutex_);
    return fields_.fileSystem;
}

DMLocalDriveStatus DMLocalDriveObject::status() const {
    std::lock_guard lock(mutex_);
    return fields_.status;
}

// ---- classification ----

void DMLocalDriveObject::update() {
    if (clients_.expired()) {
        return;
    }
    DMLocalDriveClassifier classifier(identifier(), clients_);
    DMLocalDriveFields fields = classifier.classify([this] { return logicalHasChildren(); });
    std::lock_guard lock(mutex_);
    fields_ = fields;
}

std::optional<bool> DMLocalDriveObject::bitLockerFromSignatures(const std::optional<DiskDescription>& description) {
    return DMLocalDriveClassifier::bitLockerFromSignatures(description);
}

// ---- computed members ----

std::string DMLocalDriveObject::effectiveBSDName() const {
    if (fileSystem() == DMDriveObjectFilesystem::bitlocker_encrypted) {
        return clients_.bitlocker()->getBitLockerBSDNameWithBsdname(identifier());
    }
    return identifier();
}

std::optional<std::string> DMLocalDriveObject::mountPoint() const {
    auto description = DMDiskAccess::description(effectiveBSDName());
    return description ? description->path(Key::volumePath) : std::nullopt;
}

std::string DMLocalDriveObject::name() const {
    if (auto description = DMDiskAccess::description(effectiveBSDName())) {
        std::optional<std::string> found = description->boolean(Key::mediaWhole).value_or(false)
                                               ? description->text(Key::mediaName)
                                               : description->text(Key::volumeName);
        if (found) {
            return *found;
        }
    }
    if (auto volume = clients_.corestorage()->lookup(identifier()); volume && volume->name) {
        return *volume->name;
    }
    return DMLocalDriveText::noName;
}

std::string DMLocalDriveObject::icon() const {
    std::string image = DMDriveImageName::partition;
    if (hasChildren()) {
        auto description = DMDiskAccess::description(identifier());
        bool internal = description && description->boolean(Key::deviceInternal).value_or(false);
        image = internal ? DMDriveImageName::internalDrive : DMDriveImageName::externalDrive;
    }
    switch (fileSystem()) {
        case DMDriveObjectFilesystem::hfs_plus_encrypted:
        case DMDriveObjectFilesystem::apfs_encrypted:
        case DMDriveObjectFilesystem::corestorage:
        case DMDriveObjectFilesystem::luks:
            image = DMDriveImageName::encryptedDrive;
            break;
        case DMDriveObjectFilesystem::ntfs:
            image = DMDriveImageName::ntfsDrive;
            break;
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            image = DMDriveImageName::bitlockerDrive;
            break;
        default:
            break;
    }
    if (auto path = mountPoint(); path && naming().isProtectedMountPoint(*path)) {
        image = DMDriveImageName::osPartition;
    }
    return image;
}

std::string DMLocalDriveObject::kindIcon() const {
    std::string image = DMDriveImageName::external;
    auto description = DMDiskAccess::description(identifier());
    if (description && description->boolean(Key::deviceInternal).value_or(false)) {
        image = DMDriveImageName::internal;
    }
    if (auto path = mountPoint()) {
        if (naming().isSystemMountPoint(*path)) {
            image = DMDriveImageName::internalSystem;
        } else if (naming().isDataMountPoint(*path)) {
            image = DMDriveImageName::internalHome;
        }
    }
    return image;
}

bool DMLocalDriveObject::isActive() const {
    return logicalHasChildren() || mountPoint().has_value();
}

bool DMLocalDriveObject::isHidden() const {
    auto logical = logicalObject();
    std::string logicalName = logical->name();
    if (TextCase::equalsIgnoringCase(logicalName, DMLocalDriveText::apfsContainerMediaName)) {
        auto physical = logical->physicalDriveObj();
        if (physical && physical->parent() && !logical->hasChildren()) {
            return true;
        }
    }
    auto owner = manager();
    std::string filter = owner ? owner->filter() : std::string();
    if (filter.empty()) {
        return false;
    }
    return !TextCase::containsIgnoringCase(logicalName, filter);
}

bool DMLocalDriveObject::isWhole() const {
    auto description = DMDiskAccess::description(identifier());
    return description && description->boolean(Key::mediaWhole).value_or(false);
}

bool DMLocalDriveObject::isMounted() const {
    return mountPoint().has_value();
}

bool DMLocalDriveObject::canMount() const {
    DMLocalDriveStatus current = status();
    return !logicalHasChildren() && current != DMLocalDriveStatus::locked &&
           current != DMLocalDriveStatus::encrypting && !mountPoint();
}

bool DMLocalDriveObject::canUnmount() const {
    auto logical = logicalObject();
    if (!logical->hasChildren()) {
        auto path = mountPoint();
        return path && !naming().isProtectedMountPoint(*path);
    }
    for (const auto& [key, child] : logical->children()) {
        auto childLogical = std::dynamic_pointer_cast<DMLocalDriveObject>(child->logicalDriveObj());
        if (childLogical && childLogical->canUnmount()) {
            return true;
        }
    }
    return false;
}

bool DMLocalDriveObject::canEject() const {
    return location() != DMDriveObjectLocation::internal;
}

bool DMLocalDriveObject::canLock() const {
    if (status() != DMLocalDriveStatus::unlocked) {
        return false;
    }
    auto path = mountPoint();
    return !path || !naming().isProtectedMountPoint(*path);
}

bool DMLocalDriveObject::canUnlock() const {
    return status() == DMLocalDriveStatus::locked;
}

bool DMLocalDriveObject::canEncrypt() const {
    if (auto path = mountPoint(); path && naming().isProtectedMountPoint(*path)) {
        return false;
    }
    if (location() == DMDriveObjectLocation::unknown) {
        return false;
    }
    DMDriveObjectFilesystem current = fileSystem();
    if (current == DMDriveObjectFilesystem::hfs_plus) {
        auto parentObject = std::dynamic_pointer_cast<DMLocalDriveObject>(parent());
        if (!parentObject || parentObject->partitionMap() != DMDriveObjectPartitionMap::guid) {
            return false;
        }
    }
    switch (current) {
        case DMDriveObjectFilesystem::ntfs:
        case DMDriveObjectFilesystem::apfs:
        case DMDriveObjectFilesystem::exfat:
        case DMDriveObjectFilesystem::fat32:
        case DMDriveObjectFilesystem::hfs_plus:
        // Linux file systems the daemon encrypts in place with LUKS2.
        case DMDriveObjectFilesystem::ext2:
        case DMDriveObjectFilesystem::ext3:
        case DMDriveObjectFilesystem::ext4:
            return true;
        default:
            return status() == DMLocalDriveStatus::encrypting;
    }
}

bool DMLocalDriveObject::hasDetachedHeader() const {
    if (fileSystem() != DMDriveObjectFilesystem::luks) {
        return false;
    }
    auto description = DMDiskAccess::description(identifier());
    auto kind = description ? description->text(Key::volumeKind) : std::nullopt;
    return !kind || kind->empty();
}

bool DMLocalDriveObject::isCloneInterrupted() const {
    if (location() != DMDriveObjectLocation::external) {
        return false;
    }
    auto physical = std::dynamic_pointer_cast<DMLocalDriveObject>(physicalDriveObj());
    if (!physical || !physical->isWhole()) {
        return false;
    }
    return clients_.deviceClone()->isCloneInterrupted(identifier());
}

DMDriveObjectFilesystem DMLocalDriveObject::bitLockerFileSystem() const {
    if (fileSystem() != DMDriveObjectFilesystem::bitlocker_encrypted) {
        return DMDriveObjectFilesystem::unknown;
    }
    auto description = DMDiskAccess::description(effectiveBSDName());
    std::string kind = TextCase::lower(description ? description->text(Key::volumeKind).value_or("") : "");
    if (kind.find("ntfs") != std::string::npos) {
        return DMDriveObjectFilesystem::ntfs;
    }
    if (kind.find("msdos") != std::string::npos) {
        return DMDriveObjectFilesystem::fat32;
    }
    if (kind.find("exfat") != std::string::npos) {
        return DMDriveObjectFilesystem::exfat;
    }
    return DMDriveObjectFilesystem::unknown;
}

}  // namespace harbormind
