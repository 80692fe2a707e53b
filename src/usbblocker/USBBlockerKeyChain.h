#pragma once

#include <optional>
#include <string>

#include "network/KeychainType.h"

namespace harbormind {

class KeychainFiles;

// The "USB Warden" password, kept in a private keychain file of its own in the user's home
// directory. Every read or write opens the store anew, so a password changed by another
// process (the command line) is seen at once.
class USBBlockerKeyChain {
public:
    static constexpr const char* fileName = "usbblocker.keychain";
    static constexpr const char* keyPrefix = "DM-";
    static constexpr const char* key = "usbBlocker";

    static USBBlockerKeyChain& shared();

    // `files` defaults to the current platform's keychain files and `path` to the file in
    // the user's home directory.
    explicit USBBlockerKeyChain(KeychainFiles* files = nullptr, std::optional<std::string> path = {})
        : files_(files), path_(std::move(path)) {}

    // None when no password is stored, or the file cannot be opened with its password.
    std::optional<std::string> password() const;
    bool setPassword(const std::string& password) const;

    KeychainType keychainType() const;

private:
    KeychainFiles* files_;
    std::optional<std::string> path_;
};

}  // namespace harbormind
