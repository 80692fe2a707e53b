#pragma once

#include <string>

namespace harbormind {

// Which keychain a Keychains instance uses: a private keychain file opened with a password
// (`nonsystem`), or the user's default keychain (`system`).
class KeychainType {
public:
    // `url` is a file URL ("file:///...") or a plain path.
    static KeychainType nonsystem(const std::string& url, std::string password);
    static KeychainType system();

    bool isSystem() const { return system_; }
    const std::string& path() const { return path_; }
    const std::string& password() const { return password_; }

private:
    KeychainType(bool isSystemKeychain, std::string path, std::string password)
        : system_(isSystemKeychain), path_(std::move(path)), password_(std::move(password)) {}

    bool system_;
    std::string path_;
    std::string password_;
};

}  // namespace harbormind
