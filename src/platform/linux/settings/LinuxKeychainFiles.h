#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/KeychainFiles.h"

namespace harbormind {

// How hard the key derivation works: Argon2id iterations and memory in bytes. Files record
// the limits they were created with, so files made with cheap limits (tests) still open.
struct KeychainKdfLimits {
    std::uint64_t opsLimit;
    std::uint64_t memLimit;

    static KeychainKdfLimits interactive();
    static KeychainKdfLimits minimal();
};

// Keychain files as encrypted files of our own format: the key is derived from the file's
// password with Argon2id, the items are sealed with XChaCha20-Poly1305. Files are written
// whole (temporary file, fsync, rename) with mode 0600.
class LinuxKeychainFiles final : public KeychainFiles {
public:
    // `defaultKeychainPath` is the user's default keychain; its password lives beside it in
    // a file of mode 0600, made with the keychain.
    LinuxKeychainFiles(std::string defaultKeychainPath, KeychainKdfLimits limits = KeychainKdfLimits::interactive());
    ~LinuxKeychainFiles() override;

    std::shared_ptr<KeychainFile> open(const std::string& path) override;
    std::shared_ptr<KeychainFile> defaultKeychain() override;

    struct FileState;

private:
    std::shared_ptr<FileState> stateFor(const std::string& path);

    std::string defaultKeychainPath_;
    KeychainKdfLimits limits_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<FileState>> states_;
};

}  // namespace harbormind
