#pragma once

#include <string_view>

namespace harbormind {

// Strict UTF-8 checking, as a text decoder that refuses bad input does it: no overlong
// forms, no surrogates, nothing above U+10FFFF, no truncated sequences.
class Utf8Text {
public:
    static bool isValid(std::string_view bytes);
};

}  // namespace harbormind
