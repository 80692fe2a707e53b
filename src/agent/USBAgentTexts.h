#pragma once

// What the blocker agent's question says.
namespace harbormind::USBAgentTexts {

inline constexpr const char* title = "USB Warden";
// "%@" is the disk's name.
inline constexpr const char* question = "\"%@\" was connected. Allow it to mount?";
inline constexpr const char* explanation =
    "Until you allow it, none of its volumes is mounted. Add it to the white list in the USB Warden "
    "preferences to allow it every time.";
inline constexpr const char* allow = "Allow";
inline constexpr const char* block = "Block";
inline constexpr const char* unnamedDisk = "Unknown disk";

}  // namespace harbormind::USBAgentTexts
