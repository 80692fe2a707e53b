#pragma once

namespace harbormind {

// Why the manager made no encryption job for a drive.
enum class DMEncryptorRefusal {
    none,
    // The volume was still mounted after the unmount wait.
    stillMounted,
    // The helper daemon can neither resume nor start a BitLocker encryption of the drive.
    bitLockerNotSupported,
    // No kind of encryption applies to the drive's file system.
    unsupportedFileSystem,
};

}  // namespace harbormind
