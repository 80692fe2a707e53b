#include "drivemodel/DMLuksHeaderFacts.h"

#include <cstdint>

#include <nlohmann/json.hpp>

namespace harbormind {
namespace {

constexpr std::size_t binaryHeaderBytes = 4096;

std::uint64_t bigEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

}  // namespace

DMLuksHeaderFacts DMLuksHeaderFacts::of(const std::string& bytes) {
    DMLuksHeaderFacts facts;
    static const std::string magic("LUKS\xba\xbe", 6);
    if (bytes.size() < binaryHeaderBytes || bytes.compare(0, magic.size(), magic) != 0 || bigEndian(bytes, 6, 2) != 2) {
        return facts;
    }
    // The binary header is followed by the JSON metadata, up to the header's size.
    std::uint64_t headerSize = bigEndian(bytes, 8, 8);
    if (headerSize <= binaryHeaderBytes || headerSize > bytes.size()) {
        return facts;
    }
    std::string area = bytes.substr(binaryHeaderBytes, headerSize - binaryHeaderBytes);
    area = area.substr(0, area.find('\0'));
    auto metadata = nlohmann::json::parse(area, nullptr, false);
    if (metadata.is_discarded() || !metadata.is_object() || !metadata.contains("keyslots") ||
        !metadata["keyslots"].is_object()) {
        return facts;
    }
    facts.isLuks2 = true;
    for (const auto& [id, slot] : metadata["keyslots"].items()) {
        // The reencryption's own slot holds no key of the user's.
        if (slot.is_object() && slot.value("type", "") == "reencrypt") {
            facts.reencrypting = true;
        } else {
            ++facts.keySlots;
        }
    }
    return facts;
}

}  // namespace harbormind
