#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/KeychainItem.h"

namespace harbormind {

// An opened keychain file. Opening never fails; status() tells whether the file is there.
// Whether the file is locked is shared by every handle on the same path in the process:
// unlocking through one handle unlocks it for all, locking through one locks it for all.
// Item calls on a locked file fail with KeychainStatus::interactionNotAllowed.
class KeychainFile {
public:
    virtual ~KeychainFile() = default;

    virtual const std::string& path() const = 0;
    // success when the file exists (whatever its content), noSuchKeychain otherwise.
    virtual std::int32_t status() = 0;
    // Creates the file protected by `password` and leaves it unlocked. Never replaces an
    // existing file (duplicateKeychain).
    virtual std::int32_t create(const std::string& password) = 0;
    // authFailed for a wrong password; a damaged file fails the same way or with decodeFailed.
    virtual std::int32_t unlock(const std::string& password) = 0;
    virtual std::int32_t lock() = 0;
    virtual bool isUnlocked() = 0;

    // Adds an item; duplicateItem when an item with the same account already exists.
    virtual std::int32_t add(const KeychainItem& item) = 0;
    // Every item the query matches; itemNotFound when there is none.
    virtual std::int32_t find(const KeychainQuery& query, std::vector<KeychainItem>& items) = 0;
    // Removes every item the query matches; itemNotFound when there is none.
    virtual std::int32_t remove(const KeychainQuery& query) = 0;
};

}  // namespace harbormind
