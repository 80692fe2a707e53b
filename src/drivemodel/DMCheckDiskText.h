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

    // A mounted volume is unmounted for the check and mounted again afterwards; these lines
    // tell the user, in the check's stream.
    static constexpr const char* unmountFailedFormat =
        "%@ (mounted at %@) could not be unmounted for the check: %@.";
    static constexpr const char* closeWhatUsesIt = " Close what uses it, then start First Aid again.";
    static constexpr const char* unmountRefused = "the unmount was refused";
    static constexpr const char* stillMounted = "it was still mounted a minute later";
    static constexpr const char* unmountedFormat =
        "%@ was unmounted from %@ for the check; it is mounted again when the check ends.";
    static constexpr const char* mountedAgainFormat = "%@ is mounted again at %@.";
    static constexpr const char* notMountedAgainFormat = "%@ could not be mounted again: %@";
    static constexpr const char* mountRefused = "the mount failed";
};

}  // namespace harbormind
