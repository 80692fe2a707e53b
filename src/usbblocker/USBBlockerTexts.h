#pragma once

// Every text that "USB Warden" shows, in the windows and on the command line alike.
namespace harbormind::USBBlockerTexts {

// Password checks.
inline constexpr const char* tooLongWhileTyping = "The length of password must be less than 48-digit.";
inline constexpr const char* enterPassword = "Please enter a password and try again.";
inline constexpr const char* passwordsDiffer = "The passwords you entered don't match";
inline constexpr const char* exceedsMaximumLength = "The password provided doesn't meet maximum length requirements.";
inline constexpr const char* incorrectPassword = "Incorrect password.";

// Turning it on and off.
inline constexpr const char* enableFailed = "Failed to enable USB Warden.";
inline constexpr const char* enabled = "Enable USB Warden successfully.";
inline constexpr const char* stopTip = "Please enter a password to disable USB Warden";
inline constexpr const char* disabled = " Disable USB Warden successfully.";
inline constexpr const char* disableFailed = "Failed to disableUSB Warden.";
inline constexpr const char* stopped = "Stop USB Warden";
inline constexpr const char* agentNotStopped =
    "The agent that asks about new disks could not be stopped now; it stops at your next login.";
inline constexpr const char* agentNotStarted =
    "USB Warden is on, and disks that are not on the white list are refused. The agent that asks about new "
    "disks could not be started (no service manager for your session?); run harbormind-usbagent to be asked.";

// Password entry before the settings and before white-listing.
inline constexpr const char* settingsTip = "Please enter a password to set the preferences.";
inline constexpr const char* whiteListTip = "Add the password to the whitelist.";
inline constexpr const char* whiteListAdded = "Add whitelist successfully.";
inline constexpr const char* driveGuard = " USB Warden is currently enabled to prevent your drive from loading.";

// Buttons.
inline constexpr const char* ok = "Ok";
inline constexpr const char* cancel = "Cancel";

// The settings window.
inline constexpr const char* general = "General";
inline constexpr const char* setPassword = "Set password";
inline constexpr const char* deviceWhiteList = "DeviceWhiteList";
inline constexpr const char* selectMode = "Select protection mode:";
inline constexpr const char* modeAsk = "Every time ask for confirmation";
inline constexpr const char* modeWhiteListOnly = "Only allow USB in white list";
inline constexpr const char* modeAskExplained =
    "Ask for confirmation every time: Every time a USB device is connected, a window asks for mounting";
inline constexpr const char* modeWhiteListOnlyExplained =
    "Only allow USB in white list: Only allow whitelisted USB devices to mount";
inline constexpr const char* setPasswordTitle = "Please set a password before using this function.";
inline constexpr const char* changePasswordTitle = "A password is set. To change it, enter it and then the new one twice.";
inline constexpr const char* oldPassword = "Old passwor:";
inline constexpr const char* newPassword = "New password:";
inline constexpr const char* confirmPassword = "Confirm password:";
inline constexpr const char* change = "Change";
inline constexpr const char* passwordChanged = "The password has changed successfully.";
inline constexpr const char* diskNameColumn = "disk Name";
inline constexpr const char* capacityColumn = "Capacity";
inline constexpr const char* removeWhitelist = "Remove whitelist";
inline constexpr const char* whiteListTitle = "White list: these disks always mount";
inline constexpr const char* blackListTitle = "Black list: these disks never mount";
inline constexpr const char* removeBlacklist = "Remove from black list";

// What the daemon's answers become.
inline constexpr const char* daemonSilent =
    "The helper daemon did not answer. Check that drivemanagerd is running (harbormindctl daemon status).";
inline constexpr const char* notAuthorized =
    "Your account is not allowed to change USB Warden. Ask an administrator to do it, or to allow your account.";

}  // namespace harbormind::USBBlockerTexts
