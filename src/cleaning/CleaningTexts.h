#pragma once

namespace harbormind {

// The texts the cleaning features show or match, in one place.
namespace CleaningTexts {

inline constexpr const char* sizeBytes = "%d Byte";
inline constexpr const char* sizeKilobytes = "%d Kb";
inline constexpr const char* sizeMegabytes = "%d M";
inline constexpr const char* sizeGigabytes = "%d G";

inline constexpr const char* statusLine =
    "folers selected: %d   files selected: %d    Size of the selected files: %@";

inline constexpr const char* columnFileName = "fileName";
inline constexpr const char* columnFileSize = "fileSize";
inline constexpr const char* columnFileModificationDate = "fileModificationDate";

inline constexpr const char* nothingSelected = "No folder or file is selected";
inline constexpr const char* nothingSelectedInfo = "Please select the file or folder";
inline constexpr const char* confirmDelete =
    " Do you want to delete the selected folders, including subfolders and subfiles?";
inline constexpr const char* confirmDeleteInfo =
    "The selected files or folders will be deleted and won't be recovered.";
inline constexpr const char* cleanSucceeded = "Clean successfully";
inline constexpr const char* cleanFailed = "Insufficient permissions, cleanup failed.";

// Why an entry was not deleted.
inline constexpr const char* reasonChanged = "it changed after the scan";
inline constexpr const char* reasonOtherMount = "another drive is mounted there";
inline constexpr const char* reasonCannotOpen = "it cannot be opened";
inline constexpr const char* reasonPermission = "permission denied";
inline constexpr const char* reasonBusy = "it is in use or a mount point";
inline constexpr const char* reasonNotEmpty = "it holds entries the scan did not list";
inline constexpr const char* reasonReadOnly = "the drive is read-only";
inline constexpr const char* reasonGone = "it no longer exists";

}  // namespace CleaningTexts

}  // namespace harbormind
