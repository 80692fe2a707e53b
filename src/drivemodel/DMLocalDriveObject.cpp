#include "drivemodel/DMLocalDriveObject.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMDriveImageName.h"
#include "drivemodel/DMDriveManagerProtocol.h"
#include "drivemodel/DMLocalDriveProperty.h"
#include "drivemodel/DMLocalDriveText.h"
#include "drivemodel/DMLuksWrapper.h"
#include "platform/DeviceNaming.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

DMDriveObjectInterfaceType busFromProtocol(const std::optional<std::string>& protocol) {
    std::string bus = TextCase::upper(protocol.value_or(""));
    if (bus == "USB") {
        return DMDriveObjectInterfaceType::usb;
    }
    if (bus == "FIREWIRE") {
        return DMDriveObjectInterfaceType::firewire;
    }
    if (bus == "SAS") {
        return DMDriveObjectInterfaceType::sas;
    }
    if (bus == "SATA") {
        return DMDriveObjectInterfaceType::sata;
    }
    if (bus == "VIRTUAL INTERFACE") {
        return DMDriveObjectInterfaceType::dmg;
    }
    return DMDriveObjectInterfaceType::pci;
}

DMDriveObjectPartitionMap schemeFromContent(const std::optional<std::string>& content) {
    if (content == DMLocalDriveText::guidScheme) {
        return DMDriveObjectPartitionMap::guid;
    }
    if (content == DMLocalDriveText::mbrScheme) {
        return DMDriveObjectPartitionMap::mbr;
    }
    if (content == DMLocalDriveText::appleScheme) {
        return DMDriveObjectPartitionMap::apple;
    }
    return DMDriveObjectPartitionMap::unknown;
}

DeviceNaming& naming() {
    return Platform::current().deviceNaming();
}

}  // namespace

DMLocalDriveObject::DMLocalDriveObject(std::string identifier, std::weak_ptr<DMDriveManagerProtocol> manager,
                                       std::weak_ptr<const DMLocalDriveServices> services)
    : manager_(std::move(manager)), services_(std::move(services)), identifier_(std::move(identifier)) {}

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
    return capacity_;
}

std::optional<std::int64_t> DMLocalDriveObject::used() const {
    std::lock_guard lock(mutex_);
    return used_;
}

std::optional<std::int64_t> DMLocalDriveObject::free() const {
    std::lock_guard lock(mutex_);
    return free_;
}

DMDriveObjectLocation DMLocalDriveObject::location() const {
    std::lock_guard lock(mutex_);
    return location_;
}

DMDriveObjectInterfaceType DMLocalDriveObject::interfaceType() const {
    std::lock_guard lock(mutex_);
    return interfaceType_;
}

DMDriveObjectType DMLocalDriveObject::type() const {
    std::lock_guard lock(mutex_);
    return type_;
}

DMDriveObjectPartitionMap DMLocalDriveObject::partitionMap() const {
    std::lock_guard lock(mutex_);
    return partitionMap_;
}

DMDriveObjectFilesystem DMLocalDriveObject::fileSystem() const {
    std::lock_guard lock(mutex_);
    return fileSystem_;
}

DMLocalDriveStatus DMLocalDriveObject::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

// ---- services ----

std::shared_ptr<DMBitLockerWrapper> DMLocalDriveObject::bitlocker() const {
    auto owner = services_.lock();
    return owner ? owner->bitlockerWrapper() : DMBitLockerWrapper::shared();
}

std::shared_ptr<DMCoreStorageWrapper> DMLocalDriveObject::corestorage() const {
    auto owner = services_.lock();
    return owner ? owner->corestorageWrapper() : DMCoreStorageWrapper::shared();
}

// Without a manager there is nobody to ask: no wrapper, and every LUKS question is no.
std::shared_ptr<DMLuksWrapper> DMLocalDriveObject::luks() const {
    auto owner = services_.lock();
    return owner ? owner->luksWrapper() : nullptr;
}

std::shared_ptr<DMDeviceCloneWrapper> DMLocalDriveObject::deviceClone() const {
    auto owner = services_.lock();
    return owner ? owner->devicCloenWrapper() : DMDeviceCloneWrapper::shared();
}

// ---- classification ----

void DMLocalDriveObject::update() {
    if (services_.expired()) {
        return;
    }
    const std::string bsdName = identifier();
    std::optional<DiskDescription> description = DMDiskAccess::description(bsdName);
    auto read = [&](auto getter) { return description ? getter(*description) : decltype(getter(*description)){}; };

    DMDriveObjectFilesystem fileSystem = classifyFileSystem();
    std::int64_t capacity = read([](const DiskDescription& d) { return d.integer(Key::mediaSize); }).value_or(0);

    std::optional<std::int64_t> used;
    std::optional<std::int64_t> freeSpace;
    std::string effective = fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted
                                ? bitlocker()->getBitLockerBSDNameWithBsdname(bsdName)
                                : bsdName;
    auto effectiveDescription = effective == bsdName ? description : DMDiskAccess::description(effective);
    if (auto path = effectiveDescription ? effectiveDescription->path(Key::volumePath) : std::nullopt) {
        FileSystemSpace space = Platform::current().fileSystem().space(*path);
        freeSpace = space.freeBytes;
        if (space.usedBytes) {
            used = space.usedBytes;
        } else if (space.totalBytes && space.freeBytes) {
            used = *space.totalBytes - *space.freeBytes;
        }
    }

    DMDriveObjectLocation location = DMDriveObjectLocation::unknown;
    if (auto internal = read([](const DiskDescription& d) { return d.boolean(Key::deviceInternal); })) {
        location = *internal ? DMDriveObjectLocation::internal : DMDriveObjectLocation::external;
    }
    DMDriveObjectInterfaceType bus =
        busFromProtocol(read([](const DiskDescription& d) { return d.text(Key::deviceProtocol); }));

    DMLocalDriveProperty property(bsdName);
    property.readFlag();
    property.readMediaType();

    DMDriveObjectPartitionMap partitionMap =
        schemeFromContent(read([](const DiskDescription& d) { return d.text(Key::mediaContent); }));
    DMLocalDriveStatus status = classifyStatus(fileSystem, partitionMap);

    std::lock_guard lock(mutex_);
    fileSystem_ = fileSystem;
    capacity_ = capacity;
    used_ = used;
    free_ = freeSpace;
    location_ = location;
    interfaceType_ = bus;
    type_ = property.mediaType();
    partitionMap_ = partitionMap;
    status_ = status;
}

// The volume kinds of Linux file systems. Such a volume is never a BitLocker volume and is
// not asked about.
std::optional<DMDriveObjectFilesystem> DMLocalDriveObject::linuxFileSystem(const std::string& kind) {
    static const std::pair<const char*, DMDriveObjectFilesystem> kinds[] = {
        {"ext2", DMDriveObjectFilesystem::ext2}, {"ext3", DMDriveObjectFilesystem::ext3},
        {"ext4", DMDriveObjectFilesystem::ext4}, {"btrfs", DMDriveObjectFilesystem::btrfs},
        {"xfs", DMDriveObjectFilesystem::xfs},   {"f2fs", DMDriveObjectFilesystem::f2fs},
        {"swap", DMDriveObjectFilesystem::swap}, {"luks", DMDriveObjectFilesystem::luks},
    };
    for (const auto& [name, fileSystem] : kinds) {
        if (kind == name) {
            return fileSystem;
        }
    }
    return std::nullopt;
}

DMDriveObjectFilesystem DMLocalDriveObject::classifyFileSystem() const {
    const std::string bsdName = identifier();
    std::optional<DiskDescription> description = DMDiskAccess::description(bsdName);
    bool encrypted = description ? description->boolean(Key::mediaEncrypted).value_or(false) : false;
    std::int64_t detail = description ? description->integer(Key::mediaEncryptionDetail).value_or(0) : 0;
    std::optional<std::string> kindText = description ? description->text(Key::volumeKind) : std::nullopt;
    std::string kind = TextCase::lower(kindText.value_or(""));

    if (kind == "hfs") {
        return encrypted ? DMDriveObjectFilesystem::hfs_plus_encrypted : DMDriveObjectFilesystem::hfs_plus;
    }
    if (kind == "apfs") {
        return encrypted && detail == 2 ? DMDriveObjectFilesystem::apfs_encrypted : DMDriveObjectFilesystem::apfs;
    }
    DMDriveObjectFilesystem candidate = DMDriveObjectFilesystem::unknown;
    if (kind.find("ntfs") != std::string::npos) {
        candidate = DMDriveObjectFilesystem::ntfs;
    } else if (kind == "msdos") {
        candidate = DMDriveObjectFilesystem::fat32;
    } else if (kind == "exfat") {
        candidate = DMDriveObjectFilesystem::exfat;
    } else if (auto linuxKind = linuxFileSystem(kind)) {
        return *linuxKind;
    } else {
        std::optional<std::string> content = description ? description->text(Key::mediaContent) : std::nullopt;
        // Real stores carry the APFS partition type; volumes without a kind (a locked
        // one) carry the volume type. Both are APFS.
        if (content == DMLocalDriveText::apfsPhysicalStoreContent || content == DMLocalDriveText::apfsPartitionContent) {
            return encrypted ? DMDriveObjectFilesystem::apfs_encrypted : DMDriveObjectFilesystem::apfs;
        }
        if (corestorage()->lookup(bsdName)) {
            return DMDriveObjectFilesystem::corestorage;
        }
    }
    std::optional<bool> known = bitLockerFromSignatures(description);
    if (known ? *known : bitlocker()->isBitLockerDriveWithBsdname(bsdName)) {
        return DMDriveObjectFilesystem::bitlocker_encrypted;
    }
    // A volume showing no signature may be one whose LUKS header the daemon keeps apart:
    // taken for an empty volume, it could be erased.
    if (candidate == DMDriveObjectFilesystem::unknown && kind.empty()) {
        if (auto service = luks(); service && service->isLuksDrive(bsdName)) {
            return DMDriveObjectFilesystem::luks;
        }
    }
    return candidate;
}

std::optional<bool> DMLocalDriveObject::bitLockerFromSignatures(const std::optional<DiskDescription>& description) {
    // Linux's descriptions carry the kind libblkid (or udev's record of it) read from the
    // device's own signatures, BitLocker's among them (kind "bitlocker"); other platforms'
    // disk services do not know BitLocker.
    if (Platform::current().name() != "linux" || !description) {
        return std::nullopt;
    }
    std::optional<std::string> kind = description->text(Key::volumeKind);
    if (kind && !kind->empty()) {
        return TextCase::lower(*kind) == "bitlocker";
    }
    // A partition table where a BitLocker volume would start its own header.
    std::optional<std::string> content = description->text(Key::mediaContent);
    if (content && !content->empty()) {
        return false;
    }
    return std::nullopt;  // nothing could be read here: the daemon reads the device itself
}

DMLocalDriveStatus DMLocalDriveObject::classifyStatus(DMDriveObjectFilesystem fileSystem,
                                                      DMDriveObjectPartitionMap partitionMap) const {
    const std::string bsdName = identifier();
    switch (fileSystem) {
        case DMDriveObjectFilesystem::unknown:
            // An encryption that was stopped half-way leaves the BitLocker signature, so a volume
            // whose signatures were read and show none has nothing to resume.
            if (partitionMap == DMDriveObjectPartitionMap::unknown && !logicalHasChildren() &&
                bitLockerFromSignatures(DMDiskAccess::description(bsdName)).value_or(true) &&
                bitlocker()->needResumeBitLockerEncryptionWithBsdname(bsdName)) {
                return DMLocalDriveStatus::encrypting;
            }
            return DMLocalDriveStatus::invalid;
        case DMDriveObjectFilesystem::apfs_encrypted: {
            auto description = DMDiskAccess::description(bsdName);
            bool mounted = description && description->path(Key::volumePath);
            return mounted ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked;
        }
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            return bitlocker()->bitLockerDriveStatusWithBsdname(bsdName);
        case DMDriveObjectFilesystem::corestorage: {
            auto volume = corestorage()->lookup(bsdName);
            return volume ? volume->status : DMLocalDriveStatus::invalid;
        }
        case DMDriveObjectFilesystem::luks: {
            // The daemon knows an interrupted encryption; without its answer the volume is
            // unlocked while the registry shows a disk synthesized on it (the opened mapping).
            if (auto service = luks()) {
                DMLocalDriveStatus known = service->status(bsdName);
                if (known != DMLocalDriveStatus::invalid) {
                    return known;
                }
            }
            auto media = DMDiskAccess::ioMedia(bsdName);
            bool mapped = media && !Platform::current().registry().childEntries(*media).empty();
            return mapped ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked;
        }
        default:
            return DMLocalDriveStatus::invalid;
    }
}

// ---- computed members ----

std::string DMLocalDriveObject::effectiveBSDName() const {
    if (fileSystem() == DMDriveObjectFilesystem::bitlocker_encrypted) {
        return bitlocker()->getBitLockerBSDNameWithBsdname(identifier());
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
    if (auto volume = corestorage()->lookup(identifier()); volume && volume->name) {
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
    return deviceClone()->isCloneInterruptDeviceWithStrDevice("/dev/" + identifier());
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
