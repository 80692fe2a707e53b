// The UTF-8 check against its definition: every sequence it accepts decodes to a scalar value
// (not a surrogate, at most U+10FFFF) whose shortest encoding is exactly those bytes, and a text
// is valid exactly when it splits into such sequences. The encoder here is written apart from
// the decoder under test, so a wrong decode shows as a different re-encoding.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/Utf8Text.h"

namespace {

std::string encode(char32_t c) {
    auto byte = [](char32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
    if (c < 0x80) {
        return std::string(1, byte(c));
    }
    if (c < 0x800) {
        return {byte(0xC0 | (c >> 6)), byte(0x80 | (c & 0x3F))};
    }
    if (c < 0x10000) {
        return {byte(0xE0 | (c >> 12)), byte(0x80 | ((c >> 6) & 0x3F)), byte(0x80 | (c & 0x3F))};
    }
    return {byte(0xF0 | (c >> 18)), byte(0x80 | ((c >> 12) & 0x3F)), byte(0x80 | ((c >> 6) & 0x3F)),
            byte(0x80 | (c & 0x3F))};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harbormind::Utf8Text;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool valid = true;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = Utf8Text::sequenceLength(bytes, at);
        if (length == 0) {
            valid = false;
            ++at;
            continue;
        }
        const std::string_view sequence = bytes.substr(at, length);
        const char32_t c = Utf8Text::codePointAt(bytes, at, length);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || encode(c) != sequence) {
            __builtin_trap();
        }
        at += length;
    }
    if (valid != Utf8Text::isValid(bytes) ||
        Utf8Text::isValidWithoutNul(bytes) != (valid && bytes.find('\0') == std::string_view::npos)) {
        __builtin_trap();
    }
    return 0;
}
