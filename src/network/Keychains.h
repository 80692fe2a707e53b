#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "network/KeychainType.h"
#include "network/KeychainsAccessOptions.h"
#include "network/KeychainsValueWrappable.h"

namespace harbormind {

class KeychainFile;
class KeychainFiles;
struct KeychainQuery;

// The password store: string, data and bool values under string keys, each a generic-password
// item whose account is the key prefix followed by the key. A private keychain file is opened
// (created when missing) and unlocked with its password; while any instance holds it, it
// stays unlocked, and the last instance to let it go locks it again.
class Keychains {
public:
    using Data = std::vector<std::uint8_t>;

    // `files` defaults to the current platform's keychain files.
    Keychains(std::optional<std::string> keyPrefix, const KeychainType& type, KeychainFiles* files = nullptr);
    ~Keychains();
    Keychains(const Keychains&) = delete;
    Keychains& operator=(const Keychains&) = delete;

    // The user's default keychain, no prefix.
    static Keychains& shared();
    // How many live instances hold the private keychain file at `path` open (0: none).
    static int openCount(const std::string& path);

    // Replaces any value stored under `key`.
    bool set(const Data& value, const std::string& key, std::optional<KeychainsAccessOptions> accessOption = {});
    std::optional<Data> get(const std::string& key);
    // Removes the value stored under `key`.
    bool deleteKey(const std::string& key);
    std::vector<std::string> allKeys();
    bool clear();

    // Typed front ends; setting an absent value deletes the key.
    template <typename T>
    bool setValue(const std::optional<T>& value, const std::string& key,
                  std::optional<KeychainsAccessOptions> accessOption = {}) {
        if (!value) {
            return deleteKey(key);
        }
        return set(KeychainsValueWrappable<T>::wrap(*value), key, accessOption);
    }
    template <typename T>
    std::optional<T> getValue(const std::string& key) {
        std::optional<Data> data = get(key);
        return data ? KeychainsValueWrappable<T>::unwrap(*data) : std::nullopt;
    }
    bool setString(const std::optional<std::string>& value, const std::string& key,
                   std::optional<KeychainsAccessOptions> accessOption = {}) {
        return setValue(value, key, accessOption);
    }
    std::optional<std::string> getString(const std::string& key) { return getValue<std::string>(key); }
    bool setData(const std::optional<Data>& value, const std::string& key,
                 std::optional<KeychainsAccessOptions> accessOption = {}) {
        return setValue(value, key, accessOption);
    }
    std::optional<Data> getData(const std::string& key) { return get(key); }
    bool setBool(std::optional<bool> value, const std::string& key,
                 std::optional<KeychainsAccessOptions> accessOption = {}) {
        return setValue(value, key, accessOption);
    }
    std::optional<bool> getBool(const std::string& key) { return getValue<bool>(key); }

    std::int32_t lastResultCode() const;
    const std::optional<std::string>& keychainPath() const { return keychainPath_; }
    const std::string& keyPrefix() const { return keyPrefix_; }
    std::optional<std::string> accessGroup() const;
    void setAccessGroup(std::optional<std::string> group);
    bool synchronizable() const;
    void setSynchronizable(bool value);

private:
    // The file calls go to, or none with the status every call fails with.
    std::shared_ptr<KeychainFile> target(std::int32_t& status);
    KeychainQuery query(const std::optional<std::string>& key) const;
    bool record(std::int32_t status);

    std::string keyPrefix_;
    std::optional<std::string> keychainPath_;
    std::shared_ptr<KeychainFile> keychainRef_;
    // The file this instance tried and failed to unlock, kept only to decide about locking.
    std::shared_ptr<KeychainFile> failedFile_;
    std::int32_t unusableStatus_ = 0;
    bool system_ = false;
    KeychainFiles* files_ = nullptr;

    mutable std::mutex mutex_;
    std::optional<std::string> accessGroup_;
    bool synchronizable_ = false;
    std::int32_t lastResultCode_ = 0;
};

}  // namespace harbormind
