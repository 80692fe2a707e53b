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
    // Valid and without NUL: text a bus string, a C string or a program argument carries whole
    // (each of them ends at the first NUL, so what is passed on would differ from what was checked).
    static bool isValidWithoutNul(std::string_view bytes);
    // The length (1 to 4) of the well-formed sequence that starts at `at`, 0 when none does.
    static std::size_t sequenceLength(std::string_view bytes, std::size_t at);
    // The code point of the well-formed sequence of `length` bytes at `at`, as sequenceLength
    // measured it.
    static char32_t codePointAt(std::string_view bytes, std::size_t at, std::size_t length);
};

}  // namespace harbormind
