#include "usbblocker/USBPasswordRules.h"

#include "usbblocker/DMUSBBlockerWrapper.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

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

USBPasswordRules::Check USBPasswordRules::daemonCheck(DMUSBBlockerWrapper& wrapper) {
    return [&wrapper](const std::string& entered) -> std::optional<std::string> {
        XPCCodeAnswer answer = wrapper.checkPassword(entered);
        if (answer.code == DMUSBBlockerServerProtocol::done) {
            return std::nullopt;
        }
        if (answer.code == DMUSBBlockerServerProtocol::noPassword) {
            return std::string(USBBlockerTexts::incorrectPassword);
        }
        return DMUSBBlockerWrapper::reason(answer);
    };
}

std::optional<std::string> USBPasswordRules::stopError(const std::string& entered, const Check& check) {
    if (entered.empty()) {
        return USBBlockerTexts::enterPassword;
    }
    return check(entered);
}

std::optional<std::string> USBPasswordRules::entryError(const std::string& entered, const Check& check) {
    if (entered.empty()) {
        return USBBlockerTexts::enterPassword;
    }
    if (isTooLong(entered)) {
        return USBBlockerTexts::incorrectPassword;
    }
    return check(entered);
}

std::optional<std::string> USBPasswordRules::changeError(const std::string& newPassword,
                                                         const std::string& confirmation) {
    if (newPassword.empty() || newPassword != confirmation) {
        return USBBlockerTexts::incorrectPassword;
    }
    return std::nullopt;
}

}  // namespace harbormind
