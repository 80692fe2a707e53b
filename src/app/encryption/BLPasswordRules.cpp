#include "app/encryption/BLPasswordRules.h"

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

std::size_t BLPasswordRules::length(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::optional<std::string> BLPasswordRules::refusal(const std::string& password, const std::string& repeated,
                                                    bool jobHoldsPassword, bool bitLocker) {
    if (!jobHoldsPassword) {
        if (password.empty() && repeated.empty()) {
            return DMTr::text(BLEncryptionTexts::passwordEmpty);
        }
        if (password != repeated) {
            return DMTr::text(BLEncryptionTexts::passwordMismatch);
        }
    }
    if (length(password) > maximumLength) {
        return DMTr::text(BLEncryptionTexts::passwordTooLong);
    }
    if (bitLocker && password.find_first_of("'\\/") != std::string::npos) {
        return DMTr::text(BLEncryptionTexts::passwordSpecialCharacters);
    }
    return std::nullopt;
}

}  // namespace harbormind
