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
    // The file systems of Linux machines (after the original cases, so their ordinals stay).
    ext2,
    ext3,
    ext4,
    btrfs,
    xfs,
    f2fs,
    swap,
    luks,
};

}  // namespace harbormind
