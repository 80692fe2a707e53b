#include "network/Keychains.h"

#include <map>

#include "platform/KeychainFiles.h"
#include "platform/KeychainStatus.h"
#include "platform/Platform.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// Every private keychain file the process holds, with the number of instances holding it.
std::mutex& openCountMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, int>& openCountTable() {
    static std::map<std::string, int> table;
    return table;
}

KeychainFiles* platformKeychainFiles() {
    return Platform::hasCurrent() ? Platform::current().keychainFiles() : nullptr;
}

}  // namespace

Keychains::Keychains(std::optional<std::string> keyPrefix, const KeychainType& type, KeychainFiles* files)
    : keyPrefix_(keyPrefix.value_or("")), system_(type.isSystem()), files_(files ? files : platformKeychainFiles()) {
    if (!files_) {
        unusableStatus_ = KeychainStatus::notAvailable;
        lastResultCode_ = unusableStatus_;
        Log::warning("No keychain service on this platform");
        return;
    }
    if (system_) {
        keychainRef_ = files_->defaultKeychain();
        return;
    }
    std::shared_ptr<KeychainFile> file = files_->open(type.path());
    std::int32_t status = KeychainStatus::success;
    bool created = false;
    if (file->status() != KeychainStatus::success) {
        status = file->create(type.password());
        created = status == KeychainStatus::success;
    }
    // A file just created is already unlocked; deriving the key again would only cost time.
    if (!created) {
        status = file->unlock(type.password());
    }
    lastResultCode_ = status;
    if (status != KeychainStatus::success) {
        Log::warning("Keychain " + type.path() + " could not be unlocked (status " + std::to_string(status) + ")");
        failedFile_ = std::move(file);
        unusableStatus_ = status;
        return;
    }
    keychainRef_ = std::move(file);
    keychainPath_ = type.path();
    std::lock_guard lock(openCountMutex());
    ++openCountTable()[type.path()];
}

Keychains::~Keychains() {
    if (system_ || !files_) {
        return;
    }
    bool lockFile = false;
    std::shared_ptr<KeychainFile> file = keychainRef_ ? keychainRef_ : failedFile_;
    {
        std::lock_guard lock(openCountMutex());
        auto& table = openCountTable();
        if (keychainPath_) {
            auto entry = table.find(*keychainPath_);
            if (entry == table.end()) {
                lockFile = true;
            } else {
                lockFile = entry->second == 1;
                if (--entry->second <= 0) {
                    table.erase(entry);
                }
            }
        } else if (file) {
            // An instance that never unlocked the file locks it only when no other instance
            // holds it, so a failed attempt cannot take the file away from the others.
            lockFile = table.find(file->path()) == table.end();
        }
    }
    if (lockFile && file) {
        file->lock();
    }
}

Keychains& Keychains::shared() {
    static Keychains instance(std::nullopt, KeychainType::system());
    return instance;
}

int Keychains::openCount(const std::string& path) {
    std::lock_guard lock(openCountMutex());
    auto entry = openCountTable().find(path);
    return entry == openCountTable().end() ? 0 : entry->second;
}

std::shared_ptr<KeychainFile> Keychains::target(std::int32_t& status) {
    if (!keychainRef_) {
        status = unusableStatus_ != 0 ? unusableStatus_ : KeychainStatus::notAvailable;
        return nullptr;
    }
    status = KeychainStatus::success;
    return keychainRef_;
}

KeychainQuery Keychains::query(const std::optional<std::string>& key) const {
    std::lock_guard lock(mutex_);
    KeychainQuery result;
    if (key) {
        result.account = keyPrefix_ + *key;
    }
    result.accessGroup = accessGroup_;
    result.anySynchronizable = synchronizable_;
    return result;
}

bool Keychains::record(std::int32_t status) {
    std::lock_guard lock(mutex_);
    lastResultCode_ = status;
    return status == KeychainStatus::success;
}

bool Keychains::set(const Data& value, const std::string& key, std::optional<KeychainsAccessOptions> accessOption) {
    std::int32_t status = KeychainStatus::success;
    std::shared_ptr<KeychainFile> file = target(status);
    if (!file) {
        return record(status);
    }
    file->remove(query(key));
    KeychainItem item;
    item.account = keyPrefix_ + key;
    item.data = value;
    item.accessibility = keychainsAccessibilityName(accessOption.value_or(KeychainsAccessOptions::accessibleWhenUnlocked));
    {
        std::lock_guard lock(mutex_);
        item.accessGroup = accessGroup_;
        item.synchronizable = synchronizable_;
    }
    return record(file->add(item));
}

std::optional<Keychains::Data> Keychains::get(const std::string& key) {
    std::int32_t status = KeychainStatus::success;
    std::shared_ptr<KeychainFile> file = target(status);
    if (!file) {
        record(status);
        return std::nullopt;
    }
    std::vector<KeychainItem> items;
    if (!record(file->find(query(key), items)) || items.empty()) {
        return std::nullopt;
    }
    return items.front().data;
}

bool Keychains::deleteKey(const std::string& key) {
    std::int32_t status = KeychainStatus::success;
    std::shared_ptr<KeychainFile> file = target(status);
    return record(file ? file->remove(query(key)) : status);
}

std::vector<std::string> Keychains::allKeys() {
    std::int32_t status = KeychainStatus::success;
    std::shared_ptr<KeychainFile> file = target(status);
    std::vector<std::string> keys;
    if (!file) {
        record(status);
        return keys;
    }
    std::vector<KeychainItem> items;
    record(file->find(query(std::nullopt), items));
    for (const KeychainItem& item : items) {
        keys.push_back(item.account);
    }
    return keys;
}

bool Keychains::clear() {
    std::int32_t status = KeychainStatus::success;
    std::shared_ptr<KeychainFile> file = target(status);
    if (!file) {
        return record(status);
    }
    KeychainQuery everything = query(std::nullopt);
    everything.anySynchronizable = true;
    return record(file->remove(everything));
}

std::int32_t Keychains::lastResultCode() const {
    std::lock_guard lock(mutex_);
    return lastResultCode_;
}

std::optional<std::string> Keychains::accessGroup() const {
    std::lock_guard lock(mutex_);
    return accessGroup_;
}

void Keychains::setAccessGroup(std::optional<std::string> group) {
    std::lock_guard lock(mutex_);
    accessGroup_ = std::move(group);
}

bool Keychains::synchronizable() const {
    std::lock_guard lock(mutex_);
    return synchronizable_;
}

void Keychains::setSynchronizable(bool value) {
    std::lock_guard lock(mutex_);
    synchronizable_ = value;
}

}  // namespace harbormind
