#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace harbormind {

// The password page's checks, in the order the user sees their messages.
class BLPasswordRules {
public:
    // The longest password accepted, in characters.
    static constexpr std::size_t maximumLength = 24;

    // The first refusal, or none when the password is accepted. The empty and the mismatch
    // checks are skipped once the job already holds a password; the special characters
    // (apostrophe, backslash, slash) are refused only for BitLocker.
    static std::optional<std::string> refusal(const std::string& password, const std::string& repeated,
                                              bool jobHoldsPassword, bool bitLocker);
    // Characters, not bytes: a password typed in any script is counted as the user sees it.
    static std::size_t length(const std::string& text);
};

}  // namespace harbormind
