#include "update/UpdateSignature.h"

#include <sodium.h>

#include <array>

namespace harbormind {

bool UpdateSignature::verify(const std::string& contents, const std::string& signature,
                             const std::string& publicKeyHex) {
    if (sodium_init() < 0 || signature.size() != crypto_sign_BYTES ||
        publicKeyHex.size() != 2 * crypto_sign_PUBLICKEYBYTES) {
        return false;
    }
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> key{};
    std::size_t keyLength = 0;
    if (sodium_hex2bin(key.data(), key.size(), publicKeyHex.data(), publicKeyHex.size(), nullptr, &keyLength,
                       nullptr) != 0 ||
        keyLength != key.size()) {
        return false;
    }
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       reinterpret_cast<const unsigned char*>(contents.data()), contents.size(),
                                       key.data()) == 0;
}

}  // namespace harbormind
