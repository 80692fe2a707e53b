#include "drivemodel/DMLocalDriveClassifier.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMLocalDriveProperty.h"
#include "drivemodel/DMLocalDriveText.h"
#include "drivemodel/DMLuksWrapper.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

DMDriveObjectInterfaceType busFromProtocol(const std::optional<std::string>& protocol) {
    static const std::pair<const char*, DMDriveObjectInterfaceType> buses[] = {
        {"USB", DMDriveObjectInterfaceType::usb},   {"FIREWIRE", DMDriveObjectInterfaceType::firewire},
        {"SAS", DMDriveObjectInterfaceType::sas},   {"SATA", DMDriveObjectInterfaceType::sata},
        {"VIRTUAL INTERFACE", DMDriveObjectInterfaceType::dmg},
    };
    std::string bus = TextCase::upper(protocol.value_or(""));
    for (const auto& [name, type] : buses) {
        if (bus == name) {
            return type;
        }
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

// The volume kinds of Linux file systems. Such a volume is never a BitLocker volume and is
// not asked about.
std::optional<DMDriveObjectFilesystem> linuxFileSystem(const std::string& kind) {
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

// Kinds that, unlike those of Linux file systems, still leave open whether the volume is a
// BitLocker volume.
std::optional<DMDriveObjectFilesystem> sharedFileSystem(const std::string& kind) {
    if (kind.find("ntfs") != std::string::npos) {
        return DMDriveObjectFilesystem::ntfs;
    }
    if (kind == "msdos") {
        return DMDriveObjectFilesystem::fat32;
    }
    if (kind == "exfat") {
        return DMDriveObjectFilesystem::exfat;
    }
    return std::nullopt;
}

template <typename Getter>
auto readFrom(const std::optional<DiskDescription>& description, Getter getter) {
    return description ? getter(*description) : decltype(getter(*description)){};
}

}  // namespace

DMLocalDriveClassifier::DMLocalDriveClassifier(std::string bsdName, const DMLocalDriveClients& clients)
    : bsdName_(std::move(bsdName)), clients_(clients) {}

DMLocalDriveFields DMLocalDriveClassifier::classify(const HasChildren& logicalHasChildren) const {
    std::optional<DiskDescription> description = DMDiskAccess::description(bsdName_);
    DMLocalDriveFields fields;
    fields.fileSystem = fileSystem();
    fields.capacity = readFrom(description, [](const DiskDescription& d) { return d.integer(Key::mediaSize); }).value_or(0);
    readSpace(description, fields.fileSystem, fields);

    if (auto internal = readFrom(description, [](const DiskDescription& d) { return d.boolean(Key::deviceInternal); })) {
        fields.location = *internal ? DMDriveObjectLocation::internal : DMDriveObjectLocation::external;
    }
    fields.interfaceType =
        busFromProtocol(readFrom(description, [](const DiskDescription& d) { return d.text(Key::deviceProtocol); }));

    DMLocalDriveProperty property(bsdName_);
    property.readFlag();
    property.readMediaType();
    fields.type = property.mediaType();

    fields.partitionMap =
        schemeFromContent(readFrom(description, [](const DiskDescription& d) { return d.text(Key::mediaContent); }));
    fields.status = status(fields.fileSystem, fields.partitionMap, logicalHasChildren);
    return fields;
}

// The space of the mounted volume; for BitLocker, of the device its contents are mounted from.
void DMLocalDriveClassifier::readSpace(const std::optional<DiskDescription>& description,
                                       DMDriveObjectFilesystem fileSystem, DMLocalDriveFields& fields) const {
    std::string effective = fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted
                                ? clients_.bitlocker()->getBitLockerBSDNameWithBsdname(bsdName_)
                                : bsdName_;
    auto effectiveDescription = effective == bsdName_ ? description : DMDiskAccess::description(effective);
    auto path = effectiveDescription ? effectiveDescription->path(Key::volumePath) : std::nullopt;
    if (!path) {
        return;
    }
    FileSystemSpace space = Platform::current().fileSystem().space(*path);
    fields.free = space.freeBytes;
    if (space.usedBytes) {
        fields.used = space.usedBytes;
    } else if (space.totalBytes && space.freeBytes) {
        fields.used = *space.totalBytes - *space.freeBytes;
    }
}

DMDriveObjectFilesystem DMLocalDriveClassifier::fileSystem() const {
    std::optional<DiskDescription> description = DMDiskAccess::description(bsdName_);
    bool encrypted = description ? description->boolean(Key::mediaEncrypted).value_or(false) : false;
    std::optional<std::string> kindText = description ? description->text(Key::volumeKind) : std::nullopt;
    std::string kind = TextCase::lower(kindText.value_or(""));

    if (kind == "hfs") {
        return encrypted ? DMDriveObjectFilesystem::hfs_plus_encrypted : DMDriveObjectFilesystem::hfs_plus;
    }
    if (kind == "apfs") {
        std::int64_t detail = description->integer(Key::mediaEncryptionDetail).value_or(0);
        return encrypted && detail == 2 ? DMDriveObjectFilesystem::apfs_encrypted : DMDriveObjectFilesystem::apfs;
    }
    DMDriveObjectFilesystem candidate = DMDriveObjectFilesystem::unknown;
    if (auto shared = sharedFileSystem(kind)) {
        candidate = *shared;
    } else if (auto linuxKind = linuxFileSystem(kind)) {
        return *linuxKind;
    } else if (auto other = otherFileSystem(description, encrypted)) {
        return *other;
    }
    return encryptionOr(candidate, kind, description);
}

// A volume of no kind read from it: an APFS store or volume, or a CoreStorage volume.
std::optional<DMDriveObjectFilesystem> DMLocalDriveClassifier::otherFileSystem(
    const std::optional<DiskDescription>& description, bool encrypted) const {
    std::optional<std::string> content = description ? description->text(Key::mediaContent) : std::nullopt;
    // Real stores carry the APFS partition type; volumes without a kind (a locked
    // one) carry the volume type. Both are APFS.
    if (content == DMLocalDriveText::apfsPhysicalStoreContent || content == DMLocalDriveText::apfsPartitionContent) {
        return encrypted ? DMDriveObjectFilesystem::apfs_encrypted : DMDriveObjectFilesystem::apfs;
    }
    if (clients_.corestorage()->lookup(bsdName_)) {
        return DMDriveObjectFilesystem::corestorage;
    }
    return std::nullopt;
}

// What the kind read from the volume does not show: a BitLocker volume, or a LUKS volume
// whose header the daemon keeps apart.
DMDriveObjectFilesystem DMLocalDriveClassifier::encryptionOr(DMDriveObjectFilesystem candidate,
                                                              const std::string& kind,
                                                              const std::optional<DiskDescription>& description) const {
    std::optional<bool> known = bitLockerFromSignatures(description);
    if (known ? *known : clients_.bitlocker()->isBitLockerDriveWithBsdname(bsdName_)) {
        return DMDriveObjectFilesystem::bitlocker_encrypted;
    }
    // A volume showing no signature may be one whose LUKS header the daemon keeps apart:
    // taken for an empty volume, it could be erased. A whole disk showing a partition table
    // holds readable data at its start, so it cannot be one, and the daemon is not asked.
    if (candidate == DMDriveObjectFilesystem::unknown && kind.empty() && !showsPartitionTable(description)) {
        if (auto service = clients_.luks(); service && service->isLuksDrive(bsdName_)) {
            return DMDriveObjectFilesystem::luks;
        }
    }
    return candidate;
}

bool DMLocalDriveClassifier::showsPartitionTable(const std::optional<DiskDescription>& description) {
    if (!description || !description->boolean(Key::mediaWhole).value_or(false)) {
        return false;
    }
    std::optional<std::string> content = description->text(Key::mediaContent);
    return content && !content->empty();
}

std::optional<bool> DMLocalDriveClassifier::bitLockerFromSignatures(const std::optional<DiskDescription>& description) {
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

DMLocalDriveStatus DMLocalDriveClassifier::status(DMDriveObjectFilesystem fileSystem,
                                                  DMDriveObjectPartitionMap partitionMap,
                                                  const HasChildren& logicalHasChildren) const {
    switch (fileSystem) {
        case DMDriveObjectFilesystem::unknown:
            // An encryption that was stopped half-way leaves the BitLocker signature, so a volume
            // whose signatures were read and show none has nothing to resume.
            if (partitionMap == DMDriveObjectPartitionMap::unknown && !logicalHasChildren() &&
                bitLockerFromSignatures(DMDiskAccess::description(bsdName_)).value_or(true) &&
                clients_.bitlocker()->needResumeBitLockerEncryptionWithBsdname(bsdName_)) {
                return DMLocalDriveStatus::encrypting;
            }
            return DMLocalDriveStatus::invalid;
        case DMDriveObjectFilesystem::apfs_encrypted: {
            auto description = DMDiskAccess::description(bsdName_);
            bool mounted = description && description->path(Key::volumePath);
            return mounted ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked;
        }
        case DMDriveObjectFilesystem::bitlocker_encrypted:
            return clients_.bitlocker()->bitLockerDriveStatusWithBsdname(bsdName_);
        case DMDriveObjectFilesystem::corestorage: {
            auto volume = clients_.corestorage()->lookup(bsdName_);
            return volume ? volume->status : DMLocalDriveStatus::invalid;
        }
        case DMDriveObjectFilesystem::luks:
            return luksStatus();
        default:
            return DMLocalDriveStatus::invalid;
    }
}

// The daemon knows an interrupted encryption; without its answer the volume is unlocked while
// the registry shows a disk synthesized on it (the opened mapping).
DMLocalDriveStatus DMLocalDriveClassifier::luksStatus() const {
    if (auto service = clients_.luks()) {
        DMLocalDriveStatus known = service->status(bsdName_);
        if (known != DMLocalDriveStatus::invalid) {
            return known;
        }
    }
    auto media = DMDiskAccess::ioMedia(bsdName_);
    bool mapped = media && !Platform::current().registry().childEntries(*media).empty();
    return mapped ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked;
}

}  // namespace harbormind
