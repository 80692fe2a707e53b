#pragma once

namespace harbormind::CheckDiskTexts {

// Every line First Aid writes into a check's stream besides the checker's own output.
inline constexpr const char* starting = "Checking %s (%s)";
inline constexpr const char* mounted = "%s is mounted. Unmount it before repairing it.";
inline constexpr const char* mountedCheck =
    "%s is mounted at %s, so it cannot be checked: a mounted file system changes while the checker "
    "reads it, and the checker would report errors that are not there. Unmount it first.";
inline constexpr const char* noFileSystem = "No file system was found on %s.";
inline constexpr const char* noChecker = "First Aid has no checker for the %s file system on %s.";
inline constexpr const char* deviceGone = "%s disappeared while it was being checked.";
inline constexpr const char* deviceMissing = "%s does not exist.";
inline constexpr const char* checkOnly =
    "btrfs volumes are only checked, never repaired: running a read-only check.";
inline constexpr const char* answeringYes =
    "The automatic repair needs answers: repairing again, answering yes to every fix.";
inline constexpr const char* repairsMade = "The checker repaired:";
inline constexpr const char* checkingAgain = "Checking the volume again after the repair.";
inline constexpr const char* ntfsDirty = "The volume is marked dirty: it was not cleanly unmounted.";
inline constexpr const char* cannotStart = "%s could not be started.";
inline constexpr const char* stopped = "The check was stopped.";

// The last line of a check that ran, in words.
inline constexpr const char* noErrorsFound = "No errors found";
inline constexpr const char* errorsRepaired = "Errors were repaired";
inline constexpr const char* errorsRemain = "Errors remain";
inline constexpr const char* notCompleted = "The check could not be completed";

}  // namespace harbormind::CheckDiskTexts
