#pragma once

// Every text the application window shows, kept in one place so that the code and the
// tests use the very same words.
namespace harbormind::DMTexts {

inline constexpr const char* productName = "Kestrane Harbormind";

// Sidebar sections.
inline constexpr const char* localDriveSection = "Local Drive";
inline constexpr const char* networkDriveSection = "Network Drive";
inline constexpr const char* loadingDrive = "Loading Drive ...";
inline constexpr const char* searchPlaceholder = "Search";

// Sidebar context menu.
inline constexpr const char* addWhitelist = "Add whitelist";
inline constexpr const char* menuOpen = "Open";
inline constexpr const char* menuUnlock = "Unlock";
inline constexpr const char* menuLock = "Lock";
inline constexpr const char* menuMount = "Mount";
inline constexpr const char* menuUnmount = "Unmount";
inline constexpr const char* menuEject = "Eject";
inline constexpr const char* menuEncrypt = "Encrypt";
inline constexpr const char* menuExportHeader = "Export Header...";
inline constexpr const char* menuConnect = "Connect";
inline constexpr const char* menuDisconnect = "Disconnect";
inline constexpr const char* menuEdit = "Edit";
inline constexpr const char* menuRemove = "Remove";
inline constexpr const char* unmountAll = "Unmount All";
inline constexpr const char* connectAll = "Connect All";
inline constexpr const char* disconnectAll = "Disconnect All";

// Corner menu.
inline constexpr const char* preferences = "Preferences...";
inline constexpr const char* usbWarden = "USB Warden";
inline constexpr const char* about = "About";
inline constexpr const char* help = "Help";
inline constexpr const char* more = "More";
inline constexpr const char* quit = "Quit";
inline constexpr const char* stopUsbWarden = "Stop USB Warden";
inline constexpr const char* usbWardenPreferences = "USB Warden Preferences";
inline constexpr const char* enableUsbWarden = "Enable USB Warden";
inline constexpr const char* checkForUpdates = "Check for Updates...";
inline constexpr const char* enableDebugLogging = "Enable Debug Logging";
inline constexpr const char* uninstall = "Uninstall";
inline constexpr const char* attachDiskImage = "Attach Disk Image...";

// Attaching a disk image.
inline constexpr const char* attachDiskImageTitle = "Attach Disk Image";
inline constexpr const char* diskImageFilter = "Disk images (*.img *.iso *.raw *.bin);;All files (*)";
inline constexpr const char* attachDiskImageFailed = "The disk image could not be attached";
inline constexpr const char* attachedReadOnlyFormat = "The disk image was attached read-only as %@";

// Detail views: facts.
inline constexpr const char* factMountPoint = "Mount Point";
inline constexpr const char* factType = "Type";
inline constexpr const char* factCapacity = "Capacity";
inline constexpr const char* factUsed = "Used";
inline constexpr const char* factAvailable = "Available";
inline constexpr const char* factDevice = "Device";
inline constexpr const char* factLocation = "Location";
inline constexpr const char* factConnection = "Connection";
inline constexpr const char* factPartitionMap = "Partition Map";
inline constexpr const char* factUrl = "URL";
inline constexpr const char* notMounted = "Not Mounted";
inline constexpr const char* notConnected = "Not Connected";
inline constexpr const char* unknownValue = "Unknown";
inline constexpr const char* notAvailable = "not available";
inline constexpr const char* connecting = "Connecting...";

// Capacity map.
inline constexpr const char* volumeTitleFormat = "%@ Volume";
inline constexpr const char* usedPrefix = "Used: ";
inline constexpr const char* availablePrefix = "Available: ";
inline constexpr const char* capacityMapUsedColour = "#b7cc41";

// Action bar items.
inline constexpr const char* itemOpen = "Open";
inline constexpr const char* itemUnlock = "Unlock";
inline constexpr const char* itemLock = "Lock";
inline constexpr const char* itemMount = "Mount";
inline constexpr const char* itemUnmount = "Unmount";
inline constexpr const char* itemEncrypt = "Encrypt";
inline constexpr const char* itemCleanDrive = "Clean Drive";
inline constexpr const char* itemCleanJunk = "Clean Junk";
inline constexpr const char* itemFirstAid = "First Aid";
inline constexpr const char* itemUnmountAll = "Unmount All";
inline constexpr const char* itemEject = "Eject";
inline constexpr const char* itemClone = "Clone";
// The localized text of the key "resumeClone"; the key itself stands in for it.
inline constexpr const char* itemResumeClone = "resumeClone";
inline constexpr const char* itemConnect = "Connect";
inline constexpr const char* itemDisconnect = "Disconnect";
inline constexpr const char* itemEdit = "Edit";
inline constexpr const char* itemRemove = "Remove";

// NTFS driver tip.
inline constexpr const char* ntfsTip =
    "The current drive is not mounted by the NTFS driver from Kestrane.To enjoy faster read/write speed and "
    "secure your data, please install the NTFS driver from Kestrane and then mount this drive again.";
inline constexpr const char* ntfsTipInstall = "Install";

// Alerts.
inline constexpr const char* errorTitle = "Error";
inline constexpr const char* mountFailedMinusOne =
    "Failed to mount this drive,  please try again later. (error code: %d)";
inline constexpr const char* errorCodeContactSupport = "Error code: %d, please contact technical support.";
inline constexpr const char* connectionFailed = "Connection failed";
inline constexpr const char* disconnectFailed = "Disconnection failed";
// Followed by what the connection reported.
inline constexpr const char* helperNotRunning = "The helper service is not running: ";
inline constexpr const char* connect17 = "The server has been connected.";
inline constexpr const char* connect60 = "Connection timeout.";
inline constexpr const char* connect80 = "Password of the server is incorrect.";
inline constexpr const char* connectMinus128 = "User cancelled operation.";
inline constexpr const char* connectMinus1 = "Host is down.";
inline constexpr const char* connect13 = "Permission denied.";

inline constexpr const char* installNtfsDriverTitle = "Install NTFS driver";
inline constexpr const char* installNtfsDriverText =
    "To read and write NTFS drive fast and stably, we highly recommend you install NTFS driver from Kestrane.";
inline constexpr const char* installButton = "Install";
inline constexpr const char* cancelButton = "Cancel";
inline constexpr const char* needExtensionTitle = "Need to install and allow system extension";
inline constexpr const char* needExtensionText =
    "To mount this drive in read-write mode, you need to install and allow system extension.";
inline constexpr const char* readOnlyTitleFormat = "Failed to open '%@' in read-write mode";
inline constexpr const char* readOnlyTextFormat =
    "Problems were detected with the '%@' and it's been opened in read-only mode. Need to check the disk "
    "before continuing to open it in read-write mode";
inline constexpr const char* viewDetails = "View Details...";
inline constexpr const char* notNow = "Not Now";
inline constexpr const char* okButton = "Ok";
inline constexpr const char* yesButton = "Yes";
inline constexpr const char* noButton = "No";
inline constexpr const char* uninstallText = "Are you sure you want to uninstall this software and all components?";
inline constexpr const char* uninstallAgentRunning =
    "The USB Warden agent could not be stopped, so nothing was uninstalled. Stop USB Warden first, then try again.";
inline constexpr const char* uninstallPackageFailed =
    "Your settings were removed, but the package manager did not remove the application. Remove its package "
    "with your package manager";
inline constexpr const char* installSuccessTitle = "Install successfully";
inline constexpr const char* installSuccessText = "The driver has been installed successfully!";
inline constexpr const char* installManuallyTitle = "The system extension needs to be installed manually";
inline constexpr const char* installManuallyText =
    "Failed to install the system extension automatically. Please try to install the system extension manually.";
inline constexpr const char* installManuallyButton = "Install manually";
// Offered beside "Ok" when a mount failed with a reason and the drive can be checked.
inline constexpr const char* firstAidButton = "First Aid";
inline constexpr const char* deleteDriveTitle = "Delete the drive?";
inline constexpr const char* deleteDriveText = "The device will not be saved locally after deletion";
inline constexpr const char* confirmButton = "Comfirm";

// Failures of unmount, eject and open, with the reason the platform gave.
inline constexpr const char* volumeInUseTitleFormat = "\"%@\" is in use";
inline constexpr const char* volumeInUseTextFormat =
    "The volume was not unmounted: %@. Close the files and programs that use it, then try again. "
    "Force Unmount takes it away even so; what those programs still write to it is lost.";
inline constexpr const char* forceUnmountButton = "Force Unmount";
inline constexpr const char* unmountFailedTitleFormat = "\"%@\" could not be unmounted";
inline constexpr const char* ejectFailedTitleFormat = "\"%@\" could not be ejected";
inline constexpr const char* openFailedTitleFormat = "\"%@\" could not be opened";
inline constexpr const char* openFailedText =
    "The drive is not mounted, or no file manager could be started to show it.";
inline constexpr const char* helpFailedTitle = "The help page could not be opened";
inline constexpr const char* helpFailedTextFormat = "No web browser could be started to show %@.";

}  // namespace harbormind::DMTexts
