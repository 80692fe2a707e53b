#include "support/TextCase.h"

#include <algorithm>
#include <cctype>

#include <unicode/stringpiece.h>
#include <unicode/uchar.h>  // U_FOLD_CASE_DEFAULT
#include <unicode/unistr.h>

#include "support/Utf8Text.h"

namespace harbormind {

std::string TextCase::lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string TextCase::upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string TextCase::fold(const std::string& text) {
    // Text that is not UTF-8 keeps its bytes, ASCII folded.
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; }) || !Utf8Text::isValid(text)) {
        return lower(text);
    }
    icu::UnicodeString wide =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    wide.foldCase(U_FOLD_CASE_DEFAULT);
    std::string folded;
    wide.toUTF8String(folded);
    return folded;
}

bool TextCase::containsIgnoringCase(const std::string& haystack, const std::string& needle) {
    return fold(haystack).find(fold(needle)) != std::string::npos;
}

bool TextCase::equalsIgnoringCase(const std::string& a, const std::string& b) {
    return fold(a) == fold(b);
}

}  // namespace harbormind
