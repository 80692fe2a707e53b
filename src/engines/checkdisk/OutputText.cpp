#include "engines/checkdisk/OutputText.h"

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

constexpr const char* replacement = "\xEF\xBF\xBD";

}  // namespace

std::string OutputText::validUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t index = 0;
    while (index < bytes.size()) {
        std::size_t length = Utf8Text::sequenceLength(bytes, index);
        if (length == 0 || bytes[index] == '\0') {
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
