#pragma once

#include <memory>
#include <string>

#include "platform/KeychainFile.h"

namespace harbormind {

// Encrypted password files: the private keychains of the system and the user's default one.
class KeychainFiles {
public:
    virtual ~KeychainFiles() = default;
    virtual std::shared_ptr<KeychainFile> open(const std::string& path) = 0;
    // The user's default keychain, created on first use and unlocked for the session.
    virtual std::shared_ptr<KeychainFile> defaultKeychain() = 0;
};

}  // namespace harbormind
