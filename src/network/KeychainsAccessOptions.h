#pragma once

#include <string>

namespace harbormind {

// When a keychain item may be read. Each option is stored with the item under its own name.
enum class KeychainsAccessOptions {
    accessibleWhenUnlocked,
    accessibleWhenUnlockedThisDeviceOnly,
    accessibleAfterFirstUnlock,
    accessibleAfterFirstUnlockThisDeviceOnly,
    accessibleWhenPasscodeSetThisDeviceOnly,
    accessibleWhenUnlockedAlways,
    accessibleWhenUnlockedAlwaysThisDeviceOnly,
};

std::string keychainsAccessibilityName(KeychainsAccessOptions option);

}  // namespace harbormind
