#pragma once

// The device-clone windows' and alerts' texts, exactly as the user sees them.
namespace harbormind::DMCloneTexts {

inline constexpr const char* noDestination = "No destination device can be selected.";
inline constexpr const char* sourceDeviceTip = "Source device";
inline constexpr const char* destinTitle = "Please select the destin device to clone";
inline constexpr const char* capacityTip =
    "The capacity of the destination device must be larger than or equal to that of source device.";
inline constexpr const char* capacity = "Capacity";
inline constexpr const char* cancel = "Cancel";
inline constexpr const char* startClone = "startClone";
inline constexpr const char* help = "Help";
inline constexpr const char* overwriteWarning =
    "Cloning the drive will overwrite the data on the target drive. Please make a backup of your target "
    "drive.";
inline constexpr const char* ok = "Ok";
inline constexpr const char* interrupted =
    "The clone interrupted, please click Continue to start cloning again.";
inline constexpr const char* continueButton = "Continue";
inline constexpr const char* resumeClone = "resumeClone";
inline constexpr const char* sourceUuidEmpty = "UUID of the source device is full.";
inline constexpr const char* insertSource =
    "No source device found, please insert your source device and clone again.";
inline constexpr const char* openSourceFailed = "Failed to open the source device.";
inline constexpr const char* openDestinationFailed = "Failed to open the destination device.";
inline constexpr const char* sectorSizeMismatch =
    "The sector size of the destination device is not same as the source device.";
inline constexpr const char* notEnoughSpace = " Not enough space on destination device.";
inline constexpr const char* cloning = "Cloning...";
inline constexpr const char* finish = "Finish";
inline constexpr const char* completed = "The clone has completed.";
// Bytes copied and bytes in all.
inline constexpr const char* sizeFormat = "%d : %d ";
inline constexpr const char* sourceMissing = "No source device found.";
inline constexpr const char* destinationMissing = "No destination device found.";
// A clone that ended on another failure (a write error, for instance).
inline constexpr const char* stoppedWithError = "The clone has stopped, error code: %d";
// The maker's page on disk clone; lang, edition and version follow.
inline constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help/disk-clone";

}  // namespace harbormind::DMCloneTexts
