// The UTF-8 check against its definition: every sequence it accepts decodes to a scalar value
// (not a surrogate, at most U+10FFFF) whose shortest encoding is exactly those bytes, and a text
// is valid exactly when it splits into such sequences.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/Utf8Text.h"

namespace {

char32_t decode(std::string_view sequence) {
    if (sequence.size() == 1) {
        return static_cast<unsigned char>(sequence[0]);
    }
    char32_t value = static_cast<unsigned char>(sequence[0]) & (0x7F >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        value = (value << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    }
    return value;
}

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
        const char32_t c = decode(sequence);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || encode(c) != sequence) {
            __builtin_trap();
        }
        at += length;
    }
    if (valid != Utf8Text::isValid(bytes)) {
        __builtin_trap();
    }
    return 0;
}
