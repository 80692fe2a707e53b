#pragma once

#include <string>

namespace harbormind {

// Detached Ed25519 signatures over downloaded update packages.
class UpdateSignature {
public:
    // True only when `signature` (64 raw bytes) is a valid signature of `contents` by the key
    // `publicKeyHex` (64 hex digits). An empty or malformed key verifies nothing.
    static bool verify(const std::string& contents, const std::string& signature, const std::string& publicKeyHex);
};

}  // namespace harbormind
