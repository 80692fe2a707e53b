#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// One generic-password item of a keychain file: a secret stored under an account name.
struct KeychainItem {
    std::string account;
    std::vector<std::uint8_t> data;
    // The accessibility class the item was written with ("accessibleWhenUnlocked", ...).
    std::string accessibility;
    std::optional<std::string> accessGroup;
    bool synchronizable = false;

    bool operator==(const KeychainItem&) const = default;
};

// What a search for items matches: an account (none: every item), an access group when given,
// and the synchronizable flag unless any flag is accepted.
struct KeychainQuery {
    std::optional<std::string> account;
    std::optional<std::string> accessGroup;
    bool anySynchronizable = false;
    bool synchronizable = false;

    bool matches(const KeychainItem& item) const {
        if (account && item.account != *account) {
            return false;
        }
        if (accessGroup && item.accessGroup != accessGroup) {
            return false;
        }
        return anySynchronizable || item.synchronizable == synchronizable;
    }
};

}  // namespace harbormind
