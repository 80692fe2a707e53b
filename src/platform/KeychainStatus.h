#pragma once

#include <cstdint>

namespace harbormind {

// Status codes of keychain calls. They keep the values that keychain statuses have always
// had on desktops, so a logged status means the same thing everywhere. 0 is success.
struct KeychainStatus {
    static constexpr std::int32_t success = 0;
    static constexpr std::int32_t ioError = -36;
    static constexpr std::int32_t badParameter = -50;
    static constexpr std::int32_t notAvailable = -25291;
    static constexpr std::int32_t authFailed = -25293;
    static constexpr std::int32_t noSuchKeychain = -25294;
    static constexpr std::int32_t invalidKeychain = -25295;
    static constexpr std::int32_t duplicateKeychain = -25296;
    static constexpr std::int32_t duplicateItem = -25299;
    static constexpr std::int32_t itemNotFound = -25300;
    static constexpr std::int32_t interactionNotAllowed = -25308;
    static constexpr std::int32_t decodeFailed = -26275;
};

}  // namespace harbormind
