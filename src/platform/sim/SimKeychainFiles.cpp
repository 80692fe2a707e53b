#include "platform/sim/SimKeychainFiles.h"

#include <algorithm>

#include "platform/KeychainStatus.h"

namespace harbormind {

namespace {
constexpr const char* defaultKeychainPath = "/sim/home/.keychains/default.keychain";
}

class SimKeychainFile final : public KeychainFile {
public:
    SimKeychainFile(std::string path, std::shared_ptr<std::mutex> mutex,
                    std::shared_ptr<std::map<std::string, SimKeychainFiles::File>> files)
        : path_(std::move(path)), mutex_(std::move(mutex)), files_(std::move(files)) {}

    const std::string& path() const override { return path_; }

    std::int32_t status() override {
        std::lock_guard lock(*mutex_);
        return file().exists ? KeychainStatus::success : KeychainStatus::noSuchKeychain;
    }

    std::int32_t create(const std::string& password) override {
        std::lock_guard lock(*mutex_);
        SimKeychainFiles::File& entry = file();
        if (entry.exists) {
            return KeychainStatus::duplicateKeychain;
        }
        entry = SimKeychainFiles::File{true, false, true, password, {}};
        return KeychainStatus::success;
    }

    std::int32_t unlock(const std::string& password) override {
        std::lock_guard lock(*mutex_);
        SimKeychainFiles::File& entry = file();
        if (!entry.exists) {
            return KeychainStatus::noSuchKeychain;
        }
        if (entry.damaged) {
            return KeychainStatus::decodeFailed;
        }
        if (entry.password != password) {
            return KeychainStatus::authFailed;
        }
        entry.unlocked = true;
        return KeychainStatus::success;
    }

    std::int32_t lock() override {
        std::lock_guard lock(*mutex_);
        file().unlocked = false;
        return KeychainStatus::success;
    }

    bool isUnlocked() override {
        std::lock_guard lock(*mutex_);
        return file().unlocked;
    }

    std::int32_t add(const KeychainItem& item) override {
        std::lock_guard lock(*mutex_);
        std::int32_t result = usable();
        if (result != KeychainStatus::success) {
            return result;
        }
        auto& items = file().items;
        bool duplicate = std::any_of(items.begin(), items.end(), [&item](const KeychainItem& existing) {
            return existing.account == item.account && existing.accessGroup == item.accessGroup &&
                   existing.synchronizable == item.synchronizable;
        });
        if (duplicate) {
            return KeychainStatus::duplicateItem;
        }
        items.push_back(item);
        return KeychainStatus::success;
    }

    std::int32_t find(const KeychainQuery& query, std::vector<KeychainItem>& found) override {
        std::lock_guard lock(*mutex_);
        found.clear();
        std::int32_t result = usable();
        if (result != KeychainStatus::success) {
            return result;
        }
        for (const KeychainItem& item : file().items) {
            if (query.matches(item)) {
                found.push_back(item);
            }
        }
        return found.empty() ? KeychainStatus::itemNotFound : KeychainStatus::success;
    }

    std::int32_t remove(const KeychainQuery& query) override {
        std::lock_guard lock(*mutex_);
        std::int32_t result = usable();
        if (result != KeychainStatus::success) {
            return result;
        }
        auto erased = std::erase_if(file().items, [&query](const KeychainItem& item) { return query.matches(item); });
        return erased == 0 ? KeychainStatus::itemNotFound : KeychainStatus::success;
    }

private:
    SimKeychainFiles::File& file() { return (*files_)[path_]; }

    std::int32_t usable() {
        const SimKeychainFiles::File& entry = file();
        if (!entry.exists) {
            return KeychainStatus::noSuchKeychain;
        }
        if (!entry.unlocked) {
            return KeychainStatus::interactionNotAllowed;
        }
        return entry.damaged ? KeychainStatus::decodeFailed : KeychainStatus::success;
    }

    std::string path_;
    std::shared_ptr<std::mutex> mutex_;
    std::shared_ptr<std::map<std::string, SimKeychainFiles::File>> files_;
};

SimKeychainFiles::SimKeychainFiles()
    : mutex_(std::make_shared<std::mutex>()), files_(std::make_shared<std::map<std::string, File>>()) {}

std::shared_ptr<KeychainFile> SimKeychainFiles::open(const std::string& path) {
    return std::make_shared<SimKeychainFile>(path, mutex_, files_);
}

std::shared_ptr<KeychainFile> SimKeychainFiles::defaultKeychain() {
    std::shared_ptr<KeychainFile> file = open(defaultKeychainPath);
    if (file->status() != 0) {
        file->create("default");
    } else if (!file->isUnlocked()) {
        file->unlock("default");
    }
    return file;
}

bool SimKeychainFiles::exists(const std::string& path) {
    std::lock_guard lock(*mutex_);
    auto it = files_->find(path);
    return it != files_->end() && it->second.exists;
}

bool SimKeychainFiles::isUnlocked(const std::string& path) {
    std::lock_guard lock(*mutex_);
    auto it = files_->find(path);
    return it != files_->end() && it->second.unlocked;
}

void SimKeychainFiles::damage(const std::string& path) {
    std::lock_guard lock(*mutex_);
    File& entry = (*files_)[path];
    entry.exists = true;
    entry.damaged = true;
}

std::vector<KeychainItem> SimKeychainFiles::items(const std::string& path) {
    std::lock_guard lock(*mutex_);
    auto it = files_->find(path);
    return it == files_->end() ? std::vector<KeychainItem>{} : it->second.items;
}

}  // namespace harbormind
