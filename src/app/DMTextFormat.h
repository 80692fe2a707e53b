#pragma once

#include <string>

namespace harbormind {

// Fills the placeholders of the window's texts: "%@" takes a text, "%d" an integer. Every
// occurrence is replaced; a placeholder inside the inserted value is left alone.
class DMTextFormat {
public:
    static std::string withText(const std::string& format, const std::string& value);
    static std::string withInteger(const std::string& format, long long value);
};

}  // namespace harbormind
