#include "daemon/checkdisk/OutputText.h"

namespace harbormind {
namespace {

constexpr const char* replacement = "\xEF\xBF\xBD";

unsigned char byteAt(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

bool continuation(std::string_view bytes, std::size_t index) {
    return index < bytes.size() && (byteAt(bytes, index) & 0xC0) == 0x80;
}

// The length of the well-formed sequence at `index`, or 0.
std::size_t sequenceLength(std::string_view bytes, std::size_t index) {
    unsigned char lead = byteAt(bytes, index);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!continuation(bytes, index + i)) {
            return 0;
        }
    }
    if (length >= 3) {
        unsigned char second = byteAt(bytes, index + 1);
        bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
        bool surrogate = lead == 0xED && second >= 0xA0;
        bool tooLarge = lead == 0xF4 && second >= 0x90;
        if (overlong || surrogate || tooLarge) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string OutputText::validUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t index = 0;
    while (index < bytes.size()) {
        std::size_t length = sequenceLength(bytes, index);
        if (length == 0) {
            text += replacement;
            ++index;
        } else {
            text.append(bytes.substr(index, length));
            index += length;
        }
    }
    return text;
}

}  // namespace harbormind
