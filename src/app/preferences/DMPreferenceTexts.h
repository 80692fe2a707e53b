#pragma once

// The texts of the preference window, in one place for the code and the tests.
namespace harbormind::DMPreferenceTexts {

// Tabs: identifier, label (the first ends with a blank).
inline constexpr const char* generalIdentifier = "generalToolbarIdentifier";
inline constexpr const char* general = "General ";
inline constexpr const char* advancedIdentifier = "advancedToolbarIdentifier";
inline constexpr const char* advanced = "Advanced";
inline constexpr const char* notificationIdentifier = "notificationToolbarIdentifier";
inline constexpr const char* notification = "Notification";

// General.
inline constexpr const char* launchAtLogin = "Launch at login";
inline constexpr const char* showDockIcon = "Show dock icon ";
inline constexpr const char* showMenuBarIcon = "Show menu bar icon ";
inline constexpr const char* openEncryptedDrives = "Open encrypted drives after unlocking";
inline constexpr const char* openNetworkDrives = "Open network drives after connecting";
inline constexpr const char* appearance = "Appearance:";
inline constexpr const char* appearanceLight = "Light";
inline constexpr const char* appearanceDark = "Dark";
inline constexpr const char* appearanceSystem = "System";

// Advanced.
inline constexpr const char* disconnectOnSleep = "Disconnect network drives when the system goes to sleep";
inline constexpr const char* connectOnWake = "Connect network drives when the system wakes up";
inline constexpr const char* unmountOnSleep = "Unmount external drives when the system goes to sleep";
inline constexpr const char* lockOnSleep = "Lock BitLocker drives when the system goes to sleep";
inline constexpr const char* ignoreHibernation = "Ignore hibernation file when mounting NTFS drives";
inline constexpr const char* installDriver = "Install driver";
inline constexpr const char* driverUnavailable = "This system cannot install the NTFS driver from here.";

// Notification.
inline constexpr const char* notifyConnected = "Notify when connected drives";
inline constexpr const char* notifyDisconnected = "Notify when disconnected drives";
inline constexpr const char* notifyAppeared = "Notify when drives appeared";
inline constexpr const char* notifyDisappeared = "Notify when drives disappeared";
inline constexpr const char* turnOnNotifications = "Turn On System Notifications";
inline constexpr const char* noNotificationSettingsTitle = "Notification settings";
inline constexpr const char* noNotificationSettingsText =
    "No notification settings program was found for this desktop. Kestrane Harbormind shows its "
    "notifications through the desktop's notification service; allow them for Kestrane Harbormind in "
    "your desktop's settings, under Notifications.";
inline constexpr const char* okButton = "OK";

}  // namespace harbormind::DMPreferenceTexts
