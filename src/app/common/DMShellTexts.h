#pragma once

// The shell's own texts that tell a new user what is going on: why an action is greyed out,
// what an empty tree means, the command-line help.
namespace harbormind::DMShellTexts {

// Tooltips of disabled actions, after the action's name.
inline constexpr const char* notAvailableForDrive = "not available for this drive";
inline constexpr const char* needsHelperService = "needs the helper service (drivemanagerd), which is not running";
inline constexpr const char* notSupportedOnLinux = "not supported on Linux yet";

// The detail pane and the tree when there is nothing to show.
inline constexpr const char* noDrives = "No drives found";
inline constexpr const char* noMatchFormat = "No drive matches \"%@\"";
inline constexpr const char* selectDrive = "Select a drive in the list";

// A second start of the application hands over to the first and ends.
inline constexpr const char* alreadyRunning = "harbormind is already running; its window was raised.";

// The guide that tells what this computer still lacks and how to get it.
inline constexpr const char* guideTitle = "Finish Setting Up";
inline constexpr const char* guideSubtitle = "Some drives need a piece this computer does not have yet:";
inline constexpr const char* guideComplete = "Everything Kestrane Harbormind needs is in place.";
inline constexpr const char* guideDriverHeading = "NTFS driver (ntfs-3g)";
inline constexpr const char* guideDriverText =
    "Needed to write to NTFS drives and to open BitLocker drives. Click Install and confirm with your "
    "password, or run in a terminal:\n    sudo apt install ntfs-3g";
inline constexpr const char* guideHelperHeading = "Helper service (drivemanagerd)";
inline constexpr const char* guideHelperTextFormat =
    "Mounts drives for you, runs First Aid, clones and encrypts. It could not be reached (%@). Install the "
    "harbormind package, or run in a terminal:\n    sudo systemctl enable --now drivemanagerd";
inline constexpr const char* guideInstall = "Install";
inline constexpr const char* guideCheckAgain = "Check Again";
inline constexpr const char* guideFinish = "Finish";

}  // namespace harbormind::DMShellTexts
