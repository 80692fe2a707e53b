#pragma once

// The texts of the junk clean and drive clear windows (the alert and status texts they share
// with the command line live in cleaning/CleaningTexts.h).
namespace harbormind::CDTexts {

inline constexpr const char* junkWindowTitle = "Clean Junk";
inline constexpr const char* driveWindowTitle = "Clean Drive";

inline constexpr const char* stopTheScan = "Stop the scan";
inline constexpr const char* stopping = "Stopping...";
inline constexpr const char* deleting = "Deleting...";
inline constexpr const char* scanningJunk = "Scanning...";
inline constexpr const char* searchingDirectory = "Searching for files in the directory of %@";

inline constexpr const char* refresh = "Refresh";
inline constexpr const char* selectAll = "Select All";
inline constexpr const char* clean = "Clean";
inline constexpr const char* ok = "Ok";
inline constexpr const char* cancel = "Cancel";

inline constexpr const char* columnName = "File name";
inline constexpr const char* columnSize = "Size";
inline constexpr const char* columnModified = "Modified time";

inline constexpr const char* showInFinder = "Show in Finder";
inline constexpr const char* filesMissing = "Files don't exist, please refresh.";
inline constexpr const char* foldersMissing = "Folders don't exist, please refresh.";

// The details pane.
inline constexpr const char* detailName = "File names: %@";
inline constexpr const char* detailSize = "Size: %@";
inline constexpr const char* detailPath = "Path: %@";
inline constexpr const char* detailCreated = "Created time: %@";
inline constexpr const char* detailModified = "Modified time: %@";
inline constexpr const char* detailFolders = "folders: %d";
inline constexpr const char* detailFiles = "files: %d";
inline constexpr const char* open = "Open";
inline constexpr const char* remove = "Delete";
inline constexpr const char* dateFormat = "yyyy-MM-dd HH:mm:ss";

// Added under the confirmation so the user sees how much goes before anything goes.
inline constexpr const char* deletionAmount = "%@ folders, %@ files, %@ will be deleted.";

}  // namespace harbormind::CDTexts
