#pragma once

#include <string>

#include "network/KeychainType.h"

namespace harbormind {

// The two private keychain files of the drive model, in the user's home directory: one for
// passwords of local drives and one for passwords of network drives. Both use the key
// prefix "DM-" and a fixed password of their own.
class DriveKeychains {
public:
    static constexpr const char* keyPrefix = "DM-";
    static constexpr const char* localFileName = "localdrives.keychain";
    static constexpr const char* networkFileName = "networkdrives.keychain";

    static KeychainType local();
    static KeychainType network();
    // The user's home directory as the process sees it.
    static std::string homeDirectory();
};

}  // namespace harbormind
