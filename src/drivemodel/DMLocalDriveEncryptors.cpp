// The encryption job the local drive manager makes for a drive.
#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMLocalDriveApfsEncryption.h"
#include "drivemodel/DMLocalDriveBitLockerEncryption.h"
#include "drivemodel/DMLocalDriveCoreStorageEncryption.h"
#include "drivemodel/DMLocalDriveLuksEncryption.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMRepeatedCheck.h"

namespace harbormind {
namespace {

bool encryptedByBitLocker(DMDriveObjectFilesystem fileSystem) {
    return fileSystem == DMDriveObjectFilesystem::ntfs || fileSystem == DMDriveObjectFilesystem::exfat ||
           fileSystem == DMDriveObjectFilesystem::fat32;
}

bool encryptedByLuks(DMDriveObjectFilesystem fileSystem) {
    return fileSystem == DMDriveObjectFilesystem::ext2 || fileSystem == DMDriveObjectFilesystem::ext3 ||
           fileSystem == DMDriveObjectFilesystem::ext4;
}

}  // namespace

DMEncryptorRefusal DMLocalDriveManager::encryptionRefusal(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    auto object = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    if (!object) {
        return DMEncryptorRefusal::unsupportedFileSystem;
    }
    object->update();
    return refusalOf(object);
}

// Asks the daemon and reads the drive, but changes nothing: a drive that cannot be
// encrypted is never unmounted for nothing.
DMEncryptorRefusal DMLocalDriveManager::refusalOf(const std::shared_ptr<DMLocalDriveObject>& object) {
    const std::string name = object->identifier();
    DMDriveObjectFilesystem fileSystem = object->fileSystem();
    if ((fileSystem == DMDriveObjectFilesystem::luks || encryptedByLuks(fileSystem)) && luksWrapper_->needResume(name)) {
        return DMEncryptorRefusal::none;
    }
    if (encryptedByLuks(fileSystem)) {
        return luksWrapper_->layouts(name).code > 0 ? DMEncryptorRefusal::none : DMEncryptorRefusal::luksNotAvailable;
    }
    if (encryptedByBitLocker(fileSystem) || object->status() == DMLocalDriveStatus::encrypting) {
        bool possible = bitlockerWrapper_->needResumeBitLockerEncryptionWithBsdname(name) ||
                        bitlockerWrapper_->isBitLockerEncryptionSupportedWithBsdname(name);
        return possible ? DMEncryptorRefusal::none : DMEncryptorRefusal::bitLockerNotSupported;
    }
    if (fileSystem == DMDriveObjectFilesystem::hfs_plus || fileSystem == DMDriveObjectFilesystem::apfs) {
        return DMEncryptorRefusal::none;
    }
    return DMEncryptorRefusal::unsupportedFileSystem;
}

std::shared_ptr<DMLocalDriveEncryptable> DMLocalDriveManager::encryptor(const std::shared_ptr<DMDriveObjectProtocol>& drive,
                                                                        DMEncryptorRefusal* refusal) {
    auto refuse = [refusal](DMEncryptorRefusal why) -> std::shared_ptr<DMLocalDriveEncryptable> {
        if (refusal) {
            *refusal = why;
        }
        return nullptr;
    };
    if (refusal) {
        *refusal = DMEncryptorRefusal::none;
    }
    auto object = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    if (!object) {
        return refuse(DMEncryptorRefusal::unsupportedFileSystem);
    }
    object->update();
    if (DMEncryptorRefusal why = refusalOf(object); why != DMEncryptorRefusal::none) {
        return refuse(why);
    }
    // This platform's own kinds come first: one of their interrupted encryptions may also
    // show as `encrypting`, which would otherwise be taken for BitLocker's.
    DMEncryptorRefusal ownRefusal = DMEncryptorRefusal::none;
    if (auto job = encryptorForOtherFileSystem(object, ownRefusal)) {
        return job;
    }
    if (ownRefusal != DMEncryptorRefusal::none) {
        return refuse(ownRefusal);
    }
    DMDriveObjectFilesystem fileSystem = object->fileSystem();
    if (encryptedByBitLocker(fileSystem) || object->status() == DMLocalDriveStatus::encrypting) {
        bool wasMounted = object->mountPoint().has_value();
        if (!unmountForEncryption(object)) {
            return refuse(DMEncryptorRefusal::stillMounted);
        }
        auto job = DMLocalDriveBitLockerEncryption::encryptionObject(bitlockerWrapper_, object);
        if (!job) {
            remountAfterRefusal(object, wasMounted);
            return refuse(DMEncryptorRefusal::bitLockerNotSupported);
        }
        return job;
    }
    if (fileSystem == DMDriveObjectFilesystem::hfs_plus) {
        return std::make_shared<DMLocalDriveCoreStorageEncryption>(object);
    }
    if (fileSystem == DMDriveObjectFilesystem::apfs) {
        return std::make_shared<DMLocalDriveApfsEncryption>(object);
    }
    return refuse(DMEncryptorRefusal::unsupportedFileSystem);
}

// mountPoint() follows a BitLocker volume to the device carrying its contents.
bool DMLocalDriveManager::unmountForEncryption(const std::shared_ptr<DMLocalDriveObject>& object) {
    if (!object->mountPoint().has_value()) {
        return true;
    }
    unmount(object, nullptr);
    return DMRepeatedCheck::until(unmountChecks, [&] { return !object->mountPoint().has_value(); });
}

// A drive unmounted for a job that then could not be made is mounted again.
void DMLocalDriveManager::remountAfterRefusal(const std::shared_ptr<DMLocalDriveObject>& object, bool wasMounted) {
    if (wasMounted && !object->mountPoint().has_value()) {
        mount(object, nullptr);
    }
}

// LUKS2 jobs: a new one for an ext2/3/4 volume (unmounted first), or one that resumes a LUKS
// volume whose encryption was interrupted. Any other LUKS volume is left alone (refusal
// untouched) so the drive falls through to the usual refusal.
std::shared_ptr<DMLocalDriveEncryptable> DMLocalDriveManager::encryptorForOtherFileSystem(
    const std::shared_ptr<DMLocalDriveObject>& object, DMEncryptorRefusal& refusal) {
    DMDriveObjectFilesystem fileSystem = object->fileSystem();
    // An encryption stopped before it touched the data leaves the file system showing.
    bool resumable = (fileSystem == DMDriveObjectFilesystem::luks || encryptedByLuks(fileSystem)) &&
                     luksWrapper_->needResume(object->identifier());
    if (!resumable && !encryptedByLuks(fileSystem)) {
        return nullptr;
    }
    // The volume is encrypted in place, so it must be unused first, as for BitLocker.
    bool wasMounted = object->mountPoint().has_value();
    if (!resumable && !unmountForEncryption(object)) {
        refusal = DMEncryptorRefusal::stillMounted;
        return nullptr;
    }
    auto job = DMLocalDriveLuksEncryption::forDrive(luksWrapper_, object);
    if (!job) {
        remountAfterRefusal(object, wasMounted);
        refusal = DMEncryptorRefusal::luksNotAvailable;
    }
    return job;
}

}  // namespace harbormind
