#include "usbblocker/USBPasswordRules.h"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/stringpiece.h>
#include <unicode/unistr.h>

#include "usbblocker/USBBlockerTexts.h"

namespace harbormind {

std::size_t USBPasswordRules::characterCount(const std::string& utf8) {
    icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !characters) {
        // Without break rules, code points are the closest count that never undercounts.
        return static_cast<std::size_t>(text.countChar32());
    }
    characters->setText(text);
    std::size_t count = 0;
    characters->first();
    while (characters->next() != icu::BreakIterator::DONE) {
        ++count;
    }
    return count;
}

std::optional<std::string> USBPasswordRules::firstPasswordError(const std::string& password,
                                                                const std::string& confirmation) {
    if (password.empty()) {
        return USBBlockerTexts::enterPassword;
    }
    if (password != confirmation) {
        return USBBlockerTexts::passwordsDiffer;
    }
    if (isTooLong(password)) {
        return USBBlockerTexts::exceedsMaximumLength;
    }
    return std::nullopt;
}

std::optional<std::string> USBPasswordRules::stopError(const std::string& entered,
                                                       const std::optional<std::string>& stored) {
    if (entered.empty()) {
        return USBBlockerTexts::enterPassword;
    }
    if (!stored || *stored != entered) {
        return USBBlockerTexts::incorrectPassword;
    }
    return std::nullopt;
}

std::optional<std::string> USBPasswordRules::entryError(const std::string& entered,
                                                        const std::optional<std::string>& stored) {
    std::optional<std::string> error = stopError(entered, stored);
    if (!error && isTooLong(entered)) {
        return USBBlockerTexts::incorrectPassword;
    }
    return error;
}

std::optional<std::string> USBPasswordRules::changeError(const std::string& oldPassword,
                                                         const std::string& newPassword,
                                                         const std::string& confirmation,
                                                         const std::optional<std::string>& stored) {
    if (!stored || *stored != oldPassword) {
        return USBBlockerTexts::incorrectPassword;
    }
    if (newPassword.empty() || newPassword != confirmation) {
        return USBBlockerTexts::incorrectPassword;
    }
    return std::nullopt;
}

}  // namespace harbormind
