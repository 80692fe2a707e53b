#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace harbormind {

class DMUSBBlockerWrapper;

// The checks every "USB Warden" password entry makes, in the order the user meets them. A
// password's length is counted in user-perceived characters (an "e" with a combining accent
// or a family emoji is one), so what the user sees is what the limit counts.
class USBPasswordRules {
public:
    static constexpr std::size_t maximumLength = 48;

    static std::size_t characterCount(const std::string& utf8);
    static bool isTooLong(const std::string& password) { return characterCount(password) > maximumLength; }

    // None when the first password may be stored, else the message to show.
    static std::optional<std::string> firstPasswordError(const std::string& password, const std::string& confirmation);
    // Whether the first-password fields hold a password that may be stored.
    static bool isValidFirstPassword(const std::string& password, const std::string& confirmation) {
        return !firstPasswordError(password, confirmation);
    }
    // Asks whoever keeps the password (the daemon) about `entered`: none when it is right,
    // else what to show ("Incorrect password.", or how long to wait after wrong ones).
    using Check = std::function<std::optional<std::string>(const std::string& entered)>;
    static Check daemonCheck(DMUSBBlockerWrapper& wrapper);

    // Turning the blocker off: none when `check` accepts `entered`; an empty entry is not
    // even asked about.
    static std::optional<std::string> stopError(const std::string& entered, const Check& check);
    // Opening the settings or white-listing a disk: as stopping, and a password over the
    // length limit is refused without asking.
    static std::optional<std::string> entryError(const std::string& entered, const Check& check);
    // Changing the password (no length limit here): none when the new password and its
    // confirmation may be sent; the old one is checked by whoever keeps it.
    static std::optional<std::string> changeError(const std::string& newPassword, const std::string& confirmation);
};

}  // namespace harbormind
