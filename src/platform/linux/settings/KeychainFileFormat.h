#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/KeychainItem.h"

namespace harbormind {

// The clear part of a keychain file: how its key is derived from the password.
struct KeychainFileHeader {
    std::uint64_t opsLimit = 0;
    std::uint64_t memLimit = 0;
    std::array<std::uint8_t, 16> salt{};
};

// The keychain file format. Layout (integers little-endian):
//   "HMKEYCH1", u32 version (1), u64 Argon2id ops limit, u64 memory limit in bytes, 16-byte
//   salt, 24-byte nonce, then the items sealed with XChaCha20-Poly1305 under a 32-byte key,
//   every byte before the sealed part being authenticated with it.
// Sealed items: u32 count, then per item: account, data, accessibility (each u32 length and
// bytes), u8 has-access-group [+ access group], u8 synchronizable.
class KeychainFileFormat {
public:
    // None when the file is too short, not ours, or asks for limits out of bounds.
    static std::optional<KeychainFileHeader> readHeader(const std::vector<std::uint8_t>& file);
    // success, authFailed (wrong key or damaged seal) or decodeFailed (damaged content).
    static std::int32_t open(const std::vector<std::uint8_t>& file, const std::uint8_t* key,
                             std::vector<KeychainItem>& items);
    static std::vector<std::uint8_t> seal(const KeychainFileHeader& header, const std::uint8_t* key,
                                          const std::vector<KeychainItem>& items);
};

}  // namespace harbormind
