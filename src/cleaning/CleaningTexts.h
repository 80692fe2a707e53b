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

}  // namespace CleaningTexts

}  // namespace harbormind
