#include "network/KeychainsAccessOptions.h"

namespace harbormind {

std::string keychainsAccessibilityName(KeychainsAccessOptions option) {
    switch (option) {
    case KeychainsAccessOptions::accessibleWhenUnlocked:
        return "accessibleWhenUnlocked";
    case KeychainsAccessOptions::accessibleWhenUnlockedThisDeviceOnly:
        return "accessibleWhenUnlockedThisDeviceOnly";
    case KeychainsAccessOptions::accessibleAfterFirstUnlock:
        return "accessibleAfterFirstUnlock";
    case KeychainsAccessOptions::accessibleAfterFirstUnlockThisDeviceOnly:
        return "accessibleAfterFirstUnlockThisDeviceOnly";
    case KeychainsAccessOptions::accessibleWhenPasscodeSetThisDeviceOnly:
        return "accessibleWhenPasscodeSetThisDeviceOnly";
    case KeychainsAccessOptions::accessibleWhenUnlockedAlways:
        return "accessibleWhenUnlockedAlways";
    case KeychainsAccessOptions::accessibleWhenUnlockedAlwaysThisDeviceOnly:
        return "accessibleWhenUnlockedAlwaysThisDeviceOnly";
    }
    return "accessibleWhenUnlocked";
}

}  // namespace harbormind
