#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/KeychainFiles.h"

namespace harbormind {

// Keychain files kept in memory, with the same lock and password rules as real files.
class SimKeychainFiles final : public KeychainFiles {
public:
    SimKeychainFiles();

    std::shared_ptr<KeychainFile> open(const std::string& path) override;
    std::shared_ptr<KeychainFile> defaultKeychain() override;

    // For tests and scenarios.
    bool exists(const std::string& path);
    bool isUnlocked(const std::string& path);
    // Makes the file unreadable, as a damaged file on disk would be.
    void damage(const std::string& path);
    std::vector<KeychainItem> items(const std::string& path);

    struct File {
        bool exists = false;
        bool damaged = false;
        bool unlocked = false;
        std::string password;
        std::vector<KeychainItem> items;
    };

private:
    friend class SimKeychainFile;
    std::shared_ptr<std::mutex> mutex_;
    std::shared_ptr<std::map<std::string, File>> files_;
};

}  // namespace harbormind
