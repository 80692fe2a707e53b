#pragma once

// The texts of the network drive editor, in one place for the code and the tests.
namespace harbormind::DMNetworkEditorTexts {

inline constexpr const char* windowTitle = "Network Drive";
// The main window's button that opens the editor for a new drive.
inline constexpr const char* newDrive = "New Network Drive";
inline constexpr const char* driveType = "Type:";
inline constexpr const char* nickname = "Nickname:";
inline constexpr const char* nicknamePlaceholder = "Foo";
inline constexpr const char* url = "URL:";
inline constexpr const char* folder = "Folder:";
inline constexpr const char* folderPlaceholder = "Example: 192.168.0.100/documents";
inline constexpr const char* username = "Username:";
inline constexpr const char* usernamePlaceholder = "Username";
inline constexpr const char* anonymousLogin = "Anonymous Login";
inline constexpr const char* password = "Password:";
inline constexpr const char* passwordPlaceholder = "Password";
inline constexpr const char* connecting = "Connecting...";
// Names the fields still empty ("Nickname, Folder").
inline constexpr const char* missingFields = "Please fill in: %@";
inline constexpr const char* nicknameField = "Nickname";
inline constexpr const char* folderField = "Folder";
inline constexpr const char* usernameField = "Username (or choose Anonymous Login)";
inline constexpr const char* connect = "Connect";
inline constexpr const char* save = "Save";
inline constexpr const char* close = "Close";
inline constexpr const char* help = "Help";
// The type pop-up, in the order of the network drive types.
inline constexpr const char* types[] = {"SMB", "AFP", "NFS", "FTP", "WebDAV"};

// The maker's page about network drives.
inline constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help/network-drives";

}  // namespace harbormind::DMNetworkEditorTexts
