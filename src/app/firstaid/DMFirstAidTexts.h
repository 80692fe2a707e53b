#pragma once

// The texts of First Aid: the dispatcher's question and the sheet that shows a check.
namespace harbormind::DMFirstAidTexts {

inline constexpr const char* alertMessage =
    "The disk check feature will check and repair errors on the disk. If there are errors found, please back "
    "up "
    "the important data before repairing.";
inline constexpr const char* alertTextFormat = "Do you want to check and repair the disk \"%@\"?";
inline constexpr const char* checkButton = "Check";
inline constexpr const char* repairButton = "Repair";
inline constexpr const char* cancelButton = "Cancel";

inline constexpr const char* windowTitle = "Checking the drive";
inline constexpr const char* preparing = "Prearing...";
inline constexpr const char* completeButton = "Complete";
inline constexpr const char* helpButton = "Help";
inline constexpr const char* startTitle = "Start check drive";
inline constexpr const char* startText = " Start check drive. Please wait...\n";
inline constexpr const char* completeTitle = "Complete";
inline constexpr const char* endText = "Check completes\n";

// The maker's help page on disk checks; language, edition and version follow as a query.
inline constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help/check-disk";
inline constexpr const char* helpQueryFormat = "?lang=%@&edition=%@&version=%@";

}  // namespace harbormind::DMFirstAidTexts
