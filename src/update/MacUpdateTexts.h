#pragma once

// Every text of the update check, kept in one place so the code and the tests use the very
// same words.
namespace harbormind::MacUpdateTexts {

inline constexpr const char* productID = "101";
inline constexpr const char* queryFormat = "%@?pid=%@";

inline constexpr const char* skip = "Skip";
inline constexpr const char* updateNow = "Update Now";
inline constexpr const char* later = "Later";
inline constexpr const char* versionFormat = "Version %@";
inline constexpr const char* releaseNotes = "Release Notes:";
inline constexpr const char* latestVersion = "The current version is the latest version";
inline constexpr const char* ok = "Ok";

inline constexpr const char* noUpdateCheck = "This build of Kestrane Harbormind does not check for updates.";
inline constexpr const char* updateFailedTitle = "Update failed";
inline constexpr const char* notVerified =
    "The downloaded update could not be verified. Nothing was installed.";
inline constexpr const char* downloadFailed = "The update could not be downloaded. Nothing was installed.";
inline constexpr const char* installFailed = "The update was not installed.";

}  // namespace harbormind::MacUpdateTexts
