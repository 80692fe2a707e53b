#include "usbblocker/USBBlockerKeyChain.h"

#include "network/DriveKeychains.h"
#include "network/Keychains.h"

namespace harbormind {
namespace {

// The file's own password; the file's privacy rests on its mode and on the password being
// stored encrypted under this key.
constexpr const char* filePassword = "Ub6wK3tR";

}  // namespace

USBBlockerKeyChain& USBBlockerKeyChain::shared() {
    static USBBlockerKeyChain instance;
    return instance;
}

KeychainType USBBlockerKeyChain::keychainType() const {
    if (path_) {
        return KeychainType::nonsystem(*path_, filePassword);
    }
    std::string home = DriveKeychains::homeDirectory();
    if (!home.empty() && home.back() != '/') {
        home += '/';
    }
    return KeychainType::nonsystem(home + fileName, filePassword);
}

std::optional<std::string> USBBlockerKeyChain::password() const {
    Keychains store(keyPrefix, keychainType(), files_);
    return store.getString(key);
}

bool USBBlockerKeyChain::setPassword(const std::string& password) const {
    Keychains store(keyPrefix, keychainType(), files_);
    return store.setString(password, key);
}

}  // namespace harbormind
