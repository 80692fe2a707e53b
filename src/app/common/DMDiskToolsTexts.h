#pragma once

// The texts of the erase, partition and disk image windows and their alerts.
namespace harbormind::DMDiskToolsTexts {

inline constexpr const char* itemErase = "Erase...";
inline constexpr const char* itemNewPartition = "New Partition...";
inline constexpr const char* itemDeletePartition = "Delete...";

inline constexpr const char* confirmEraseTitle = "Erase %@?";
inline constexpr const char* confirmDeleteTitle = "Delete the partition %@?";
inline constexpr const char* lossText = "%@ Everything on it will be lost; mounted volumes are unmounted first.";
inline constexpr const char* cancel = "Cancel";
inline constexpr const char* erase = "Erase";
inline constexpr const char* deletePartition = "Delete";
inline constexpr const char* ok = "OK";

inline constexpr const char* cannotEraseTitle = "This drive cannot be erased";
inline constexpr const char* eraseFailedTitle = "The drive could not be erased";
inline constexpr const char* partitionFailedTitle = "The partition could not be created";
inline constexpr const char* deleteFailedTitle = "The partition could not be deleted";
inline constexpr const char* tableUnreadableTitle = "The partitions of this disk cannot be read";
inline constexpr const char* noFreeSpaceTitle = "There is no free space on this disk";
inline constexpr const char* noFreeSpaceText =
    "A new partition needs free space on a disk with a GUID or MBR partition table (an MBR table holds at most "
    "four). Delete a partition, or erase the whole disk.";

inline constexpr const char* createDiskImage = "Create Disk Image...";
inline constexpr const char* restoreDiskImage = "Restore Disk Image...";
inline constexpr const char* confirmRestoreTitle = "Restore the image onto %@?";
inline constexpr const char* restore = "Restore";
inline constexpr const char* imageFailedTitle = "The disk image could not be made";
inline constexpr const char* restoreFailedTitle = "The disk image could not be restored";

}  // namespace harbormind::DMDiskToolsTexts
