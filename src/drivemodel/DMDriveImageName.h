#pragma once

namespace harbormind {

// The names of the images that stand for drives; the application maps them to its resources.
struct DMDriveImageName {
    static constexpr const char* partition = "partition";
    static constexpr const char* internalDrive = "internal_drive";
    static constexpr const char* externalDrive = "external_drive";
    static constexpr const char* encryptedDrive = "encrypted_drive";
    static constexpr const char* ntfsDrive = "ntfs_drive";
    static constexpr const char* bitlockerDrive = "bitlocker_drive";
    static constexpr const char* osPartition = "os_partition";
    static constexpr const char* external = "external";
    static constexpr const char* internal = "internal";
    static constexpr const char* internalSystem = "internal_system";
    static constexpr const char* internalHome = "internal_home";
};

}  // namespace harbormind
