#pragma once

// The titles and texts of the drive notifications; "%@" is the drive's name.
namespace harbormind::DMNotificationTexts {

inline constexpr const char* addDriveTitle = "Add drive successfully.";
inline constexpr const char* addDriveText = "Drive: \"%@\" has been added successfully.";
inline constexpr const char* removeDriveTitle = "Remove drive successfully.";
inline constexpr const char* removeDriveText = "Drive: \"%@\" has been removed successfully.";
inline constexpr const char* mountDriveTitle = "Mount drive successfully.";
inline constexpr const char* mountDriveText = "Drive: \"%@\" has been mounted successfully.";
inline constexpr const char* unmountDriveTitle = "Unmount drive successfully.";
inline constexpr const char* unmountDriveText = "Drive: \"%@\" has been unmount successfully.";
inline constexpr const char* connectNetworkTitle = "Connect network drive successfully.";
inline constexpr const char* connectNetworkText = "Network drive: \"%@\" has been connected successfully.";
inline constexpr const char* disconnectNetworkTitle = "Disconnect network drive successfully.";
inline constexpr const char* disconnectNetworkText = "Network drive: \"%@\" has been disconnected successfully.";

}  // namespace harbormind::DMNotificationTexts
