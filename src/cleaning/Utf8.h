#pragma once

#include <string_view>

namespace harbormind {

class Utf8 {
public:
    // True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
    static bool isValid(std::string_view text);
};

}  // namespace harbormind
