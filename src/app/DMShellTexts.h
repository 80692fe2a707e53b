#pragma once

// The shell's own texts that tell a new user what is going on: why an action is greyed out,
// what an empty tree means, the command-line help.
namespace harbormind::DMShellTexts {

// Tooltips of disabled actions, after the action's name.
inline constexpr const char* notAvailableForDrive = "not available for this drive";
inline constexpr const char* needsHelperService = "needs the helper service (drivemanagerd), which is not running";
inline constexpr const char* notSupportedOnLinux = "not supported on Linux yet";

// The detail pane and the tree when there is nothing to show.
inline constexpr const char* noDrives = "No drives found";
inline constexpr const char* noMatchFormat = "No drive matches \"%@\"";
inline constexpr const char* selectDrive = "Select a drive in the list";

// A second start of the application hands over to the first and ends.
inline constexpr const char* alreadyRunning = "harbormind is already running; its window was raised.";

}  // namespace harbormind::DMShellTexts
