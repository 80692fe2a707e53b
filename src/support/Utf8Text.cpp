#include "support/Utf8Text.h"

#include <cstdint>

namespace harbormind {

bool Utf8Text::isValid(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = sequenceLength(bytes, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool Utf8Text::isValidWithoutNul(std::string_view bytes) {
    return bytes.find('\0') == std::string_view::npos && isValid(bytes);
}

std::size_t Utf8Text::sequenceLength(std::string_view bytes, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;  // the allowed range of the second byte
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - at < length || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

char32_t Utf8Text::codePointAt(std::string_view bytes, std::size_t at, std::size_t length) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (length == 1) {
        return lead;
    }
    char32_t point = lead & (0x7F >> length);  // the payload bits of a lead byte of `length`
    for (std::size_t k = 1; k < length; ++k) {
        point = (point << 6) | (static_cast<unsigned char>(bytes[at + k]) & 0x3F);
    }
    return point;
}

}  // namespace harbormind
