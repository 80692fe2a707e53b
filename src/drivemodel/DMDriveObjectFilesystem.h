#pragma once

namespace harbormind {

// The file system (or container kind) of a volume.
enum class DMDriveObjectFilesystem {
    unknown,
    hfs_plus,
    hfs_plus_encrypted,
    ntfs,
    apfs,
    apfs_encrypted,
    exfat,
    fat32,
    bitlocker_encrypted,
    corestorage,
};

}  // namespace harbormind
