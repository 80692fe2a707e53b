#include "support/PrintableText.h"

#include <cstdio>

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

// The length of the UTF-8 sequence starting at `at` that a terminal may show as it is, 0 when
// there is none.
std::size_t sequenceLength(const std::string& text, std::size_t at) {
    const std::size_t length = Utf8Text::sequenceLength(text, at);
    // C1 control characters (U+0080 to U+009F) drive terminals too.
    if (length == 2 && static_cast<unsigned char>(text[at]) == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
        return 0;
    }
    return length;
}

std::size_t columnsOf(char32_t c) {
    if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x200B && c <= 0x200F) || (c >= 0xFE00 && c <= 0xFE0F)) {
        return 0;
    }
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                      (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

}  // namespace

std::size_t PrintableText::displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = sequenceLength(text, at);
        if (length == 0) {
            ++width;
            ++at;
            continue;
        }
        width += columnsOf(Utf8Text::codePointAt(text, at, length));
        at += length;
    }
    return width;
}

std::string PrintableText::escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        auto c = static_cast<unsigned char>(text[at]);
        std::size_t length = sequenceLength(text, at);
        if (c == '\\') {
            result += "\\\\";
            ++at;
        } else if (length == 0 || c < 0x20 || c == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            result += escape;
            ++at;
        } else {
            result.append(text, at, length);
            at += length;
        }
    }
    return result;
}

}  // namespace harbormind
