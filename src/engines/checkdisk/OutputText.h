#pragma once

#include <string>
#include <string_view>

namespace harbormind {

// Checker output goes to callers as text that must be valid UTF-8 (a D-Bus string is), but
// a checker prints file names as the disk holds them. Every byte that does not start a
// complete, well-formed sequence becomes U+FFFD, and so does NUL, which would end the line
// on the bus.
class OutputText {
public:
    static std::string validUtf8(std::string_view bytes);
};

}  // namespace harbormind
