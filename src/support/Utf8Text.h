#pragma once

#include <cstddef>
#include <string_view>

namespace harbormind {

// The one UTF-8 check of the system, strict as a decoder that refuses bad input: no overlong
// forms, no surrogates, nothing above U+10FFFF, no truncated sequences, no stray continuation
// bytes. Whatever is called text (a bus string, a list line, a program's output) passes here.
class Utf8Text {
public:
    static bool isValid(std::string_view bytes);
    // The length (1 to 4) of the well-formed sequence that starts at `at`, 0 when none does.
    static std::size_t sequenceLength(std::string_view bytes, std::size_t at);
};

}  // namespace harbormind
