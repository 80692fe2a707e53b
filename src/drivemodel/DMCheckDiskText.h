#pragma once

namespace harbormind {

// The command lines First Aid hands to the daemon, and what the wrapper itself reports.
struct DMCheckDiskText {
    static constexpr const char* repairVolumeFormat = "diskutil repairVolume %@";
    static constexpr const char* ntfsRepairFormat = "'%@' /dev/%@ -F kestrane_chkdsk";
    static constexpr const char* ntfsCheckFormat = "'%@' /dev/%@ kestrane_chkdsk";
    static constexpr const char* ntfsCheckerPath =
        "/Applications/Kestrane Harbormind.app/Contents/MacOS/fsck_NTFS";
    // The first argument: the rest is one command line.
    static constexpr const char* commandFlag = "-c";
    // Sent as checkStop when the daemon cannot be reached or the drive has no usable name,
    // so the window never waits for a check that will not come.
    static constexpr const char* notStarted = "The disk check could not be started.";
};

}  // namespace harbormind
