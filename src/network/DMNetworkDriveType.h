#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The protocols a network drive is reached with.
enum class DMNetworkDriveType {
    smb,
    afp,
    nfs,
    ftp,
    webDAV,
};

// The URL scheme written into a new drive of the type; "smb" when no type is given.
std::string networkDriveScheme(std::optional<DMNetworkDriveType> type);

}  // namespace harbormind
