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
        unmount(object, nullptr);
        // mountPoint() follows a BitLocker volume to the device carrying its contents.
        if (!DMRepeatedCheck::until(unmountChecks, [&] { return !object->mountPoint().has_value(); })) {
            return refuse(DMEncryptorRefusal::stillMounted);
        }
        auto job = DMLocalDriveBitLockerEncryption::encryptionObject(bitlockerWrapper_, object);
        return job ? job : refuse(DMEncryptorRefusal::bitLockerNotSupported);
    }
    if (fileSystem == DMDriveObjectFilesystem::hfs_plus) {
        return std::make_shared<DMLocalDriveCoreStorageEncryption>(object);
    }
    if (fileSystem == DMDriveObjectFilesystem::apfs) {
        return std::make_shared<DMLocalDriveApfsEncryption>(object);
    }
    return refuse(DMEncryptorRefusal::unsupportedFileSystem);
}

// LUKS2 jobs: a new one for an ext2/3/4 volume (unmounted first), or one that resumes a LUKS volume whose
// encryption was interrupted. Any other LUKS volume is left alone (refusal untouched) so
// the drive falls through to the usual refusal.
std::shared_ptr<DMLocalDriveEncryptable> DMLocalDriveManager::encryptorForOtherFileSystem(
    const std::shared_ptr<DMLocalDriveObject>& object, DMEncryptorRefusal& refusal) {
    DMDriveObjectFilesystem fileSystem = object->fileSystem();
    bool resumable = fileSystem == DMDriveObjectFilesystem::luks && luksWrapper_->needResume(object->identifier());
    if (!resumable && !encryptedByLuks(fileSystem)) {
        return nullptr;
    }
    // The volume is encrypted in place, so it must be unused first, as for BitLocker.
    if (!resumable && object->mountPoint().has_value()) {
        unmount(object, nullptr);
        if (!DMRepeatedCheck::until(unmountChecks, [&] { return !object->mountPoint().has_value(); })) {
            refusal = DMEncryptorRefusal::stillMounted;
            return nullptr;
        }
    }
    auto job = DMLocalDriveLuksEncryption::forDrive(luksWrapper_, object);
    if (!job) {
        refusal = DMEncryptorRefusal::luksNotAvailable;
    }
    return job;
}

}  // namespace harbormind
